#pragma once
// A little-endian archive in the framework's encoding: a storing archive
// appends to its own buffer; a loading archive reads from bytes it does not
// own (the caller keeps them alive). Reading is checked against the bytes
// present: the first short read puts the archive in a failed state, in which
// every later read fails too and leaves its output untouched, so a caller may
// test Failed() after each field.
//
// Strings are a length prefix and the bytes, no terminator. Prefix: n < 255
// one byte; n < 0xFFFE the byte 0xFF and 16-bit n; otherwise 0xFF, 0xFFFF and
// 32-bit n.

#include "Types.h"

#include <cstdint>
#include <span>
#include <vector>

class CArchive {
public:
    // A storing archive.
    CArchive() = default;
    // A loading archive over data.
    explicit CArchive(std::span<const BYTE> data);

    bool IsLoading() const { return m_loading; }
    bool IsStoring() const { return !m_loading; }
    // True after a read past the end, a malformed string prefix, or a write
    // of a string too long for the encoding.
    bool Failed() const { return m_failed; }
    // Bytes not yet read.
    std::size_t Remaining() const { return m_data.size() - m_position; }
    // What a storing archive has written.
    const std::vector<BYTE>& Bytes() const { return m_buffer; }

    bool Read(void* data, std::size_t bytes);
    void Write(const void* data, std::size_t bytes);

    CArchive& operator<<(std::int32_t value);
    CArchive& operator<<(std::uint32_t value);
    CArchive& operator<<(BYTE value);
    CArchive& operator<<(const CString& text);
    CArchive& operator>>(std::int32_t& value);
    CArchive& operator>>(std::uint32_t& value);
    CArchive& operator>>(BYTE& value);
    CArchive& operator>>(CString& text);

private:
    bool ReadLittleEndian(std::uint32_t& value, int bytes);
    void WriteLittleEndian(std::uint32_t value, int bytes);

    bool m_loading = false;
    bool m_failed = false;
    std::span<const BYTE> m_data;
    std::size_t m_position = 0;
    std::vector<BYTE> m_buffer;
};
