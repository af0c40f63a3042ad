#pragma once
// Whether the server part of a share path names this computer, whichever of its names it uses.
#include <string>

// True for "localhost", a loopback address (IPv4 in any of its spellings, "::1"), one of this
// computer's own addresses as its network adapters list them (IPv4, IPv6, and IPv4 written as an
// IPv4-mapped IPv6 address), IPv6 addresses in their share form ("--1.ipv6-literal.net"), and
// this computer's NetBIOS and DNS names. A WebDAV suffix ("@SSL", "@SSL@443", "@80") and dots and
// blanks at the end do not change the computer a name reaches.
bool IsThisComputer(std::wstring server);
