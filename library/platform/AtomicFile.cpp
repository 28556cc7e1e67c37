#include "AtomicFile.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

AtomicFile::AtomicFile(std::string target) : m_target(std::move(target)) {}

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::open()
{
    if (m_target.empty() || m_stream)
        return false;
    std::string pattern = m_target + ".XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0)
        return false;
    // Keep the permissions of the file being replaced, or the usual ones.
    struct stat existing {};
    mode_t mode;
    if (::stat(m_target.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
    m_stream = ::fdopen(fd, "wb");
    if (!m_stream) {
        ::close(fd);
        ::unlink(pattern.c_str());
        return false;
    }
    m_temporary = std::move(pattern);
    return true;
}

bool AtomicFile::write(const void* data, std::size_t bytes)
{
    return m_stream && std::fwrite(data, 1, bytes, m_stream) == bytes;
}

bool AtomicFile::commit()
{
    if (!m_stream)
        return false;
    const bool flushed = std::fflush(m_stream) == 0 && !std::ferror(m_stream);
    const bool closed = std::fclose(std::exchange(m_stream, nullptr)) == 0;
    if (!flushed || !closed || std::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        discard();
        return false;
    }
    m_temporary.clear();
    return true;
}

void AtomicFile::discard()
{
    if (m_stream)
        std::fclose(std::exchange(m_stream, nullptr));
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
}
