#include "ui/settings/this_computer.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "model/dump_folder_path.h"

namespace {

typedef std::array<BYTE, 16> Ipv6Address;

// An IPv4 address in every form that names resolve from: "127.0.0.1", "127.1", "0x7f.1",
// "0177.0.0.1", "2130706433".
bool ParseIpv4(const std::wstring& text, DWORD& address)
{
    std::vector<unsigned long long> parts;
    for (const wchar_t* at = text.c_str();;) {
        if (!std::iswdigit(*at) || parts.size() == 4)
            return false;
        wchar_t* end = nullptr;
        parts.push_back(std::wcstoull(at, &end, 0));
        if (*end == L'\0')
            break;
        if (*end != L'.')
            return false;
        at = end + 1;
    }
    const size_t count = parts.size();
    address = 0;
    for (size_t i = 0; i + 1 < count; ++i) {
        if (parts[i] > 0xFF)
            return false;
        address |= static_cast<DWORD>(parts[i]) << (24 - 8 * i);
    }
    const int lastBits = 8 * static_cast<int>(5 - count);
    if (lastBits < 64 && parts[count - 1] >> lastBits)
        return false;
    address |= static_cast<DWORD>(parts[count - 1]);
    return true;
}

// Colon-separated groups of up to four hex digits, one "::" at most.
bool ParseGroups(const std::wstring& part, std::vector<unsigned>& groups)
{
    for (size_t start = 0; !part.empty();) {
        const size_t end = part.find(L':', start);
        const std::wstring group = part.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (group.empty() || group.size() > 4 || group.find_first_not_of(L"0123456789abcdefABCDEF") != std::wstring::npos)
            return false;
        groups.push_back(std::wcstoul(group.c_str(), nullptr, 16));
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    return true;
}

bool ParseIpv6(const std::wstring& text, Ipv6Address& address)
{
    std::vector<unsigned> head;
    std::vector<unsigned> tail;
    const size_t gap = text.find(L"::");
    if (gap == std::wstring::npos) {
        if (!ParseGroups(text, head) || head.size() != 8)
            return false;
    } else if (text.find(L"::", gap + 1) != std::wstring::npos || !ParseGroups(text.substr(0, gap), head) ||
               !ParseGroups(text.substr(gap + 2), tail) || head.size() + tail.size() > 7) {
        return false;
    }
    head.resize(8 - tail.size(), 0);
    head.insert(head.end(), tail.begin(), tail.end());
    for (size_t i = 0; i < 8; ++i) {
        address[2 * i] = static_cast<BYTE>(head[i] >> 8);
        address[2 * i + 1] = static_cast<BYTE>(head[i] & 0xFF);
    }
    return true;
}

// "fe80--1s4.ipv6-literal.net": the address with '-' for ':' and 's' before a zone index.
bool ParseIpv6Literal(const std::wstring& server, Ipv6Address& address)
{
    const std::wstring suffix = L".ipv6-literal.net";
    if (server.size() <= suffix.size() || !SameFolderPath(server.substr(server.size() - suffix.size()), suffix))
        return false;
    std::wstring text = server.substr(0, server.size() - suffix.size());
    text = text.substr(0, text.find_first_of(L"sS"));
    for (wchar_t& c : text) {
        if (c == L'-')
            c = L':';
    }
    return ParseIpv6(text, address);
}

// The unicast addresses of this computer's network adapters.
void ReadOwnAddresses(std::vector<DWORD>& v4, std::vector<Ipv6Address>& v6)
{
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    ULONG size = 16 * 1024;
    std::vector<BYTE> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.assign(size, 0);
        result = ::GetAdaptersAddresses(AF_UNSPEC, flags, nullptr,
                                        reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (result != NO_ERROR)
        return;
    for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter; adapter = adapter->Next) {
        for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            const SOCKADDR* socket = unicast->Address.lpSockaddr;
            if (socket && socket->sa_family == AF_INET) {
                v4.push_back(ntohl(reinterpret_cast<const sockaddr_in*>(socket)->sin_addr.s_addr));
            } else if (socket && socket->sa_family == AF_INET6) {
                Ipv6Address address;
                const BYTE* bytes = reinterpret_cast<const sockaddr_in6*>(socket)->sin6_addr.s6_addr;
                std::copy(bytes, bytes + 16, address.begin());
                v6.push_back(address);
            }
        }
    }
}

bool IsOwnIpv4(DWORD address, const std::vector<DWORD>& own)
{
    return (address >> 24) == 127 || std::find(own.begin(), own.end(), address) != own.end();
}

bool IsOwnAddress(const std::wstring& server)
{
    std::vector<DWORD> v4;
    std::vector<Ipv6Address> v6;
    DWORD ipv4 = 0;
    Ipv6Address ipv6 = {};
    if (ParseIpv4(server, ipv4)) {
        ReadOwnAddresses(v4, v6);
        return IsOwnIpv4(ipv4, v4);
    }
    if (!ParseIpv6Literal(server, ipv6))
        return false;
    ReadOwnAddresses(v4, v6);
    const Ipv6Address loopback = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    const BYTE mapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};  // ::ffff:a.b.c.d
    if (std::equal(mapped, mapped + 12, ipv6.begin()))
        return IsOwnIpv4((DWORD(ipv6[12]) << 24) | (DWORD(ipv6[13]) << 16) | (DWORD(ipv6[14]) << 8) | ipv6[15], v4);
    return ipv6 == loopback || std::find(v6.begin(), v6.end(), ipv6) != v6.end();
}

}  // namespace

bool IsThisComputer(std::wstring server)
{
    server = server.substr(0, server.find(L'@'));
    while (!server.empty() && (server.back() == L'.' || server.back() == L' '))
        server.pop_back();
    if (SameFolderPath(server, L"localhost") || IsOwnAddress(server))
        return true;
    const COMPUTER_NAME_FORMAT names[] = {ComputerNameNetBIOS,         ComputerNameDnsHostname,
                                          ComputerNameDnsFullyQualified, ComputerNamePhysicalNetBIOS,
                                          ComputerNamePhysicalDnsHostname, ComputerNamePhysicalDnsFullyQualified};
    for (COMPUTER_NAME_FORMAT format : names) {
        wchar_t name[256] = {};
        DWORD size = 256;
        if (::GetComputerNameExW(format, name, &size) && *name && SameFolderPath(server, name))
            return true;
    }
    return false;
}
