#include "CArchive.h"

#include <cstring>

namespace {

constexpr BYTE kPrefixeLong = 0xFF;
// A 16-bit length of 0xFFFE announces a wide string in the framework's
// encoding: never written for our 8-bit text, refused on reading.
constexpr std::uint32_t kMarqueLarge = 0xFFFE;
constexpr std::uint32_t kPrefixeTresLong = 0xFFFF;

} // namespace

CArchive::CArchive(std::span<const BYTE> data) : m_loading(true), m_data(data) {}

bool CArchive::Read(void* data, std::size_t bytes)
{
    if (m_failed || !m_loading || bytes > Remaining()) {
        m_failed = true;
        return false;
    }
    if (bytes)
        std::memcpy(data, m_data.data() + m_position, bytes);
    m_position += bytes;
    return true;
}

void CArchive::Write(const void* data, std::size_t bytes)
{
    if (m_loading) {
        m_failed = true;
        return;
    }
    const BYTE* first = static_cast<const BYTE*>(data);
    m_buffer.insert(m_buffer.end(), first, first + bytes);
}

bool CArchive::ReadLittleEndian(std::uint32_t& value, int bytes)
{
    BYTE raw[4];
    if (!Read(raw, static_cast<std::size_t>(bytes)))
        return false;
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | raw[i];
    value = v;
    return true;
}

void CArchive::WriteLittleEndian(std::uint32_t value, int bytes)
{
    BYTE raw[4];
    for (int i = 0; i < bytes; ++i)
        raw[i] = static_cast<BYTE>(value >> (8 * i));
    Write(raw, static_cast<std::size_t>(bytes));
}

CArchive& CArchive::operator<<(std::int32_t value)
{
    WriteLittleEndian(static_cast<std::uint32_t>(value), 4);
    return *this;
}

CArchive& CArchive::operator<<(std::uint32_t value)
{
    WriteLittleEndian(value, 4);
    return *this;
}

CArchive& CArchive::operator<<(BYTE value)
{
    Write(&value, 1);
    return *this;
}

CArchive& CArchive::operator<<(const CString& text)
{
    const std::size_t n = text.size();
    if (n > 0xFFFFFFFFu) {
        m_failed = true;
        return *this;
    }
    if (n < kPrefixeLong) {
        WriteLittleEndian(static_cast<std::uint32_t>(n), 1);
    } else if (n < kMarqueLarge) {
        WriteLittleEndian(kPrefixeLong, 1);
        WriteLittleEndian(static_cast<std::uint32_t>(n), 2);
    } else {
        WriteLittleEndian(kPrefixeLong, 1);
        WriteLittleEndian(kPrefixeTresLong, 2);
        WriteLittleEndian(static_cast<std::uint32_t>(n), 4);
    }
    Write(text.data(), n);
    return *this;
}

CArchive& CArchive::operator>>(std::int32_t& value)
{
    std::uint32_t v;
    if (ReadLittleEndian(v, 4))
        value = static_cast<std::int32_t>(v);
    return *this;
}

CArchive& CArchive::operator>>(std::uint32_t& value)
{
    ReadLittleEndian(value, 4);
    return *this;
}

CArchive& CArchive::operator>>(BYTE& value)
{
    Read(&value, 1);
    return *this;
}

CArchive& CArchive::operator>>(CString& text)
{
    std::uint32_t n;
    if (!ReadLittleEndian(n, 1))
        return *this;
    if (n == kPrefixeLong) {
        if (!ReadLittleEndian(n, 2))
            return *this;
        if (n == kMarqueLarge) {
            m_failed = true;
            return *this;
        }
        if (n == kPrefixeTresLong && !ReadLittleEndian(n, 4))
            return *this;
    }
    // The length is trusted only as far as the bytes that are there.
    if (n > Remaining()) {
        m_failed = true;
        return *this;
    }
    text.assign(reinterpret_cast<const char*>(m_data.data() + m_position), n);
    m_position += n;
    return *this;
}
