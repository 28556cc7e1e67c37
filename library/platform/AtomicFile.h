#pragma once
// Writes a file so that the one already there survives any failure: the bytes
// go to a temporary file beside the real target, which replaces it only once
// everything was written and flushed to disk.
//
// The target is respected as it is: a symbolic link is written through to the
// file it points at; a file without write permission (for root: without any
// write bit) is not replaced; a file with several hard links is rewritten in
// place, once the complete new bytes are safely on disk, so every name keeps
// seeing the same file. The replacement keeps the old file's mode and, where
// allowed, its owner; a new file gets the usual 0666 less the umask.
//
// Temporaries are named ".~tamparo-" and six letters or digits, short enough
// for any target name. A writer holds a lock on its temporary until it is
// gone or renamed; ones of ours that no writer holds (left by a killed
// process) are removed from a folder the first time this process saves there.

#include <cstdio>
#include <string>
#include <sys/types.h>

class AtomicFile {
public:
    static constexpr const char* kPrefixeTemporaire = ".~tamparo-";
    static constexpr std::size_t kLettresTemporaire = 6;
    explicit AtomicFile(std::string target);
    // Removes the temporary file unless commit() succeeded.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; false when the target may not be replaced
    // or its folder does not allow it.
    bool open();
    // The stream to write to, valid between open() and commit().
    std::FILE* stream() const { return m_stream; }
    bool write(const void* data, std::size_t bytes);
    // Flushes to disk and replaces the target. False when any write failed
    // or the replacement was refused; the target is then untouched.
    bool commit();
    // errno of the first failure, 0 while there is none.
    int error() const { return m_error; }
    // Why the first failure happened, in words for the user ("the folder
    // does not allow writing: Permission denied"); empty while there is none.
    std::string Cause() const;

    // True for a name of the form our temporaries have, and nothing else.
    static bool NomTemporaire(const std::string& name);

private:
    // quoi says what refused, for Cause(); null for the error's text alone.
    bool fail(int error, const char* quoi = nullptr);
    bool resolve();
    bool replaceInPlace();
    void discard();

    std::string m_target;
    // The file actually written: the target with its symbolic links followed.
    std::string m_real;
    std::string m_folder;
    std::string m_temporary;
    std::FILE* m_stream = nullptr;
    // A second descriptor of the temporary, so that its lock outlives the
    // stream until the temporary is renamed or removed.
    int m_verrou = -1;
    bool m_exists = false;
    mode_t m_mode = 0;
    uid_t m_owner = 0;
    gid_t m_group = 0;
    nlink_t m_links = 0;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    int m_error = 0;
    const char* m_quoi = nullptr;
};
