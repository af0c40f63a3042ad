#include "tests/support/ui_dialog_template.h"

namespace {

void AppendText(std::vector<WORD>& buffer, const std::wstring& text)
{
    for (wchar_t c : text)
        buffer.push_back(static_cast<WORD>(c));
    buffer.push_back(0);
}

void AppendDword(std::vector<WORD>& buffer, DWORD value)
{
    buffer.push_back(LOWORD(value));
    buffer.push_back(HIWORD(value));
}

void AlignToDword(std::vector<WORD>& buffer)
{
    if (buffer.size() % 2)
        buffer.push_back(0);
}

} // namespace

DialogTemplate::DialogTemplate(const std::wstring& caption, short cx, short cy, DWORD style)
    : m_caption(caption), m_cx(cx), m_cy(cy), m_style(style)
{
}

DialogTemplate& DialogTemplate::Add(const std::wstring& className, const std::wstring& text, WORD id,
                                    DWORD style, short x, short y, short cx, short cy)
{
    m_items.push_back({className, text, id, style | WS_CHILD | WS_VISIBLE, x, y, cx, cy});
    return *this;
}

const DLGTEMPLATE* DialogTemplate::Get()
{
    // DLGTEMPLATE, then menu, class, caption and font; each item starts on a DWORD boundary
    // (the buffer itself comes from operator new, which aligns it for any basic type).
    m_buffer.clear();
    AppendDword(m_buffer, m_style);
    AppendDword(m_buffer, 0); // extended style
    m_buffer.push_back(static_cast<WORD>(m_items.size()));
    m_buffer.push_back(0);
    m_buffer.push_back(0);
    m_buffer.push_back(static_cast<WORD>(m_cx));
    m_buffer.push_back(static_cast<WORD>(m_cy));
    m_buffer.push_back(0); // no menu
    m_buffer.push_back(0); // the dialog class
    AppendText(m_buffer, m_caption);
    if (m_style & DS_SETFONT) {
        m_buffer.push_back(8);
        AppendText(m_buffer, L"MS Shell Dlg");
    }
    for (const Item& item : m_items) {
        AlignToDword(m_buffer);
        AppendDword(m_buffer, item.style);
        AppendDword(m_buffer, 0);
        m_buffer.push_back(static_cast<WORD>(item.x));
        m_buffer.push_back(static_cast<WORD>(item.y));
        m_buffer.push_back(static_cast<WORD>(item.cx));
        m_buffer.push_back(static_cast<WORD>(item.cy));
        m_buffer.push_back(item.id);
        AppendText(m_buffer, item.className);
        AppendText(m_buffer, item.text);
        m_buffer.push_back(0); // no creation data
    }
    return reinterpret_cast<const DLGTEMPLATE*>(m_buffer.data());
}
