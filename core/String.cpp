#include "core/String.h"

#include <cstdarg>
#include <cstdio>

#include "core/ResourceTable.h"

void CString::Format(const char* pattern, ...)
{
    va_list args;
    va_start(args, pattern);
    va_list again;
    va_copy(again, args);
    const int needed = std::vsnprintf(nullptr, 0, pattern, args);
    va_end(args);
    if (needed < 0) {
        m_data.clear();
    } else {
        std::string out(static_cast<std::size_t>(needed), '\0');
        std::vsnprintf(out.data(), out.size() + 1, pattern, again);
        m_data = std::move(out);
    }
    va_end(again);
}

CString CString::Left(int n) const
{
    if (n <= 0)
        return {};
    return CString(m_data.substr(0, static_cast<std::size_t>(n)));
}

int CString::Replace(std::string_view from, std::string_view to)
{
    if (from.empty())
        return 0;
    std::string out;
    int count = 0;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = m_data.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
        out.append(m_data, pos, hit - pos);
        out.append(to);
        ++count;
    }
    if (count == 0)
        return 0;
    out.append(m_data, pos, std::string::npos);
    m_data = std::move(out);
    return count;
}

BOOL CString::LoadString(UINT id)
{
    const char* text = FindStringResource(id);
    m_data = text ? text : "";
    return text != nullptr;
}
