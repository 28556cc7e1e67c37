#pragma once
// Writes a file so that the one already there survives any failure: the bytes
// go to a temporary file in the same folder, which replaces the target only
// once everything was written and flushed.

#include <cstdio>
#include <string>

class AtomicFile {
public:
    explicit AtomicFile(std::string target);
    // Removes the temporary file unless commit() succeeded.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; false when the folder does not allow it.
    bool open();
    // The stream to write to, valid between open() and commit().
    std::FILE* stream() const { return m_stream; }
    bool write(const void* data, std::size_t bytes);
    // Flushes, closes and renames over the target. False when any write
    // failed or the rename was refused; the target is then untouched.
    bool commit();

private:
    void discard();

    std::string m_target;
    std::string m_temporary;
    std::FILE* m_stream = nullptr;
};
