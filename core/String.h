// CString and CStringArray: the program's byte strings (UTF-8 text here) and lists of them.
// Lengths, Left() and Replace() count bytes, as the stored entry format expects.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/WinTypes.h"

#if defined(__GNUC__)
#define OMBREL_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define OMBREL_PRINTF_FORMAT(fmt, args)
#endif

class CString {
public:
    CString() = default;
    CString(const char* text) : m_data(text ? text : "") {}
    CString(std::string text) : m_data(std::move(text)) {}
    CString(std::string_view text) : m_data(text) {}

    // printf patterns; the argument list is checked by the compiler.
    void Format(const char* pattern, ...) OMBREL_PRINTF_FORMAT(2, 3);

    // The first n bytes (the whole string when shorter; none for n <= 0).
    CString Left(int n) const;
    // Replaces every occurrence of `from`, left to right, none overlapping; returns the count.
    int Replace(std::string_view from, std::string_view to);
    // Loads a text of the program's string table; FALSE (and empty) when there is none.
    BOOL LoadString(UINT id);

    int GetLength() const { return static_cast<int>(m_data.size()); }
    bool IsEmpty() const { return m_data.empty(); }
    const char* GetString() const { return m_data.c_str(); }
    operator const char*() const { return m_data.c_str(); }
    const std::string& str() const { return m_data; }
    std::string_view view() const { return m_data; }

    CString& operator+=(const CString& more) { m_data += more.m_data; return *this; }
    CString& operator+=(const char* more) { m_data += more ? more : ""; return *this; }
    friend CString operator+(CString a, const CString& b) { a += b; return a; }
    friend CString operator+(CString a, const char* b) { a += b; return a; }
    friend CString operator+(const char* a, const CString& b) { return CString(a) + b; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_data == b.m_data; }
    friend bool operator==(const CString& a, const char* b) { return a.m_data == (b ? b : ""); }

private:
    std::string m_data;
};

class CStringArray {
public:
    void RemoveAll() { m_items.clear(); }
    int Add(const CString& item) { m_items.push_back(item); return GetUpperBound(); }
    int Add(CString&& item) { m_items.push_back(std::move(item)); return GetUpperBound(); }
    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetUpperBound() const { return GetSize() - 1; }
    const CString& GetAt(int i) const { return m_items.at(static_cast<std::size_t>(i)); }
    void SetAt(int i, const CString& item) { m_items.at(static_cast<std::size_t>(i)) = item; }
    const CString& operator[](int i) const { return GetAt(i); }
    void Reserve(int n) { m_items.reserve(static_cast<std::size_t>(n > 0 ? n : 0)); }

private:
    std::vector<CString> m_items;
};
