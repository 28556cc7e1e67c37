#include "AtomicFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr char kLettres[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// As many links as the kernel follows before ELOOP.
constexpr int kLiensMax = 40;

std::string Dossier(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Dans(const std::string& folder, const std::string& name)
{
    return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string NomAuHasard()
{
    unsigned char octets[AtomicFile::kLettresTemporaire];
    std::size_t lus = 0;
    while (lus < sizeof octets) {
        const ssize_t n = ::getrandom(octets + lus, sizeof octets - lus, 0);
        if (n > 0)
            lus += static_cast<std::size_t>(n);
        else if (errno != EINTR)
            break;
    }
    // Without the kernel's source the clock and the process still make
    // collisions rare; O_EXCL settles the rest.
    if (lus < sizeof octets) {
        timespec t{};
        ::clock_gettime(CLOCK_MONOTONIC, &t);
        unsigned long long graine = static_cast<unsigned long long>(t.tv_nsec) ^ (static_cast<unsigned long long>(::getpid()) << 32);
        for (unsigned char& o : octets) {
            graine = graine * 6364136223846793005ULL + 1442695040888963407ULL;
            o = static_cast<unsigned char>(graine >> 56);
        }
    }
    std::string nom = AtomicFile::kPrefixeTemporaire;
    for (unsigned char o : octets)
        nom += kLettres[o % (sizeof kLettres - 1)];
    return nom;
}

bool FsyncDossier(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Removes the temporaries a killed save left in folder, once per folder and
// process: only regular files of ours, by exact name and owner, that no
// writer holds locked. A writer that meets its temporary already unlinked
// here makes another (see AtomicFile::open).
void NettoieAbandons(const std::string& folder)
{
    // By name: the inode of a removed folder is soon given to a new one.
    char* absolu = ::realpath(folder.c_str(), nullptr);
    if (!absolu)
        return;
    const std::string cle = absolu;
    std::free(absolu);
    static std::mutex verrou;
    static std::set<std::string> vus;
    {
        std::lock_guard<std::mutex> garde(verrou);
        if (!vus.insert(cle).second)
            return;
    }
    DIR* flux = ::opendir(folder.c_str());
    if (!flux)
        return;
    const int dossier = ::dirfd(flux);
    while (const dirent* entree = ::readdir(flux)) {
        if (!AtomicFile::NomTemporaire(entree->d_name))
            continue;
        const int fd = ::openat(dossier, entree->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat etat {};
        if (::fstat(fd, &etat) == 0 && S_ISREG(etat.st_mode) && etat.st_uid == ::geteuid()
            && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dossier, entree->d_name, 0);
        ::close(fd);
    }
    ::closedir(flux);
}

// Whether this process may replace a file of that state. Root passes every
// permission check, so a file without any write bit counts as protected.
bool Inscriptible(const std::string& path, const struct stat& etat)
{
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        return false;
    if (::geteuid() == 0 && (etat.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        errno = EACCES;
        return false;
    }
    return true;
}

bool LitLien(const std::string& path, std::string& target)
{
    // Some links report no size (those of /proc): grow until the text fits.
    for (std::size_t taille = 256; taille <= (std::size_t(1) << 20); taille *= 4) {
        std::vector<char> lien(taille);
        const ssize_t n = ::readlink(path.c_str(), lien.data(), lien.size());
        if (n < 0)
            return false;
        if (static_cast<std::size_t>(n) < lien.size()) {
            target.assign(lien.data(), static_cast<std::size_t>(n));
            return true;
        }
    }
    errno = ENAMETOOLONG;
    return false;
}

bool EcritTout(int fd, const char* data, std::size_t bytes)
{
    while (bytes > 0) {
        const ssize_t n = ::write(fd, data, bytes);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        data += n;
        bytes -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

AtomicFile::AtomicFile(std::string target) : m_target(std::move(target)) {}

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::NomTemporaire(const std::string& name)
{
    const std::string prefixe = kPrefixeTemporaire;
    if (name.size() != prefixe.size() + kLettresTemporaire || name.compare(0, prefixe.size(), prefixe) != 0)
        return false;
    for (std::size_t i = prefixe.size(); i < name.size(); ++i)
        if (!std::memchr(kLettres, name[i], sizeof kLettres - 1))
            return false;
    return true;
}

bool AtomicFile::fail(int error, const char* quoi)
{
    if (m_error == 0) {
        m_error = error ? error : EIO;
        m_quoi = quoi;
    }
    return false;
}

std::string AtomicFile::Cause() const
{
    if (m_error == 0)
        return {};
    const std::string texte = std::strerror(m_error);
    if (m_error == ENAMETOOLONG)
        return "the name is too long: " + texte;
    return m_quoi ? std::string(m_quoi) + ": " + texte : texte;
}

bool AtomicFile::resolve()
{
    std::string chemin = m_target;
    for (int sauts = 0;; ++sauts) {
        struct stat etat {};
        if (::lstat(chemin.c_str(), &etat) != 0) {
            if (errno != ENOENT)
                return fail(errno);
            m_exists = false;
            break;
        }
        if (!S_ISLNK(etat.st_mode)) {
            if (S_ISDIR(etat.st_mode))
                return fail(EISDIR);
            // A device or a pipe in its place would be swapped for a plain file.
            if (!S_ISREG(etat.st_mode))
                return fail(EINVAL);
            if (!Inscriptible(chemin, etat))
                return fail(errno, "the file is write-protected");
            m_exists = true;
            m_mode = etat.st_mode & 07777;
            m_owner = etat.st_uid;
            m_group = etat.st_gid;
            m_links = etat.st_nlink;
            m_device = etat.st_dev;
            m_inode = etat.st_ino;
            break;
        }
        if (sauts == kLiensMax)
            return fail(ELOOP);
        std::string cible;
        if (!LitLien(chemin, cible))
            return fail(errno);
        chemin = !cible.empty() && cible[0] == '/' ? cible : Dans(Dossier(chemin), cible);
    }
    m_real = chemin;
    m_folder = Dossier(chemin);
    return true;
}

bool AtomicFile::open()
{
    if (m_target.empty() || m_stream || !m_temporary.empty())
        return fail(EINVAL);
    if (!resolve())
        return false;
    NettoieAbandons(m_folder);

    // A replacement starts private and takes the old mode once it is ours;
    // a new file gets what any program's new file gets.
    int fd = -1;
    std::string temporaire;
    for (int essai = 0; fd < 0 && essai < 100; ++essai) {
        temporaire = Dans(m_folder, NomAuHasard());
        fd = ::open(temporaire.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, m_exists ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) {
            const int erreur = errno;
            const bool refus = erreur == EACCES || erreur == EPERM || erreur == EROFS;
            return fail(erreur, refus ? "the folder does not allow writing" : nullptr);
        }
        // Another process's cleaning may take the new file for a leftover
        // before it is locked: one found unlinked is given up for another.
        struct stat etat {};
        if (fd >= 0 && (::flock(fd, LOCK_EX) != 0 || ::fstat(fd, &etat) != 0 || etat.st_nlink == 0)) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0)
        return fail(EEXIST);
    if (m_exists) {
        // Giving the file away is for root; the group may still be ours.
        if (::fchown(fd, m_owner, m_group) != 0)
            (void)::fchown(fd, static_cast<uid_t>(-1), m_group);
        ::fchmod(fd, m_mode);
    }
    m_verrou = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    m_stream = m_verrou >= 0 ? ::fdopen(fd, "wb") : nullptr;
    if (!m_stream) {
        const int erreur = errno;
        ::unlink(temporaire.c_str());
        ::close(fd);
        if (m_verrou >= 0)
            ::close(std::exchange(m_verrou, -1));
        return fail(erreur);
    }
    m_temporary = std::move(temporaire);
    return true;
}

bool AtomicFile::write(const void* data, std::size_t bytes)
{
    if (!m_stream)
        return fail(EBADF);
    if (std::fwrite(data, 1, bytes, m_stream) != bytes)
        return fail(errno);
    return true;
}

bool AtomicFile::commit()
{
    if (!m_stream)
        return fail(EBADF);
    if (std::fflush(m_stream) != 0 || std::ferror(m_stream) || ::fsync(::fileno(m_stream)) != 0) {
        fail(errno);
        discard();
        return false;
    }
    if (std::fclose(std::exchange(m_stream, nullptr)) != 0) {
        fail(errno);
        discard();
        return false;
    }
    if (m_exists && m_links > 1)
        return replaceInPlace();
    if (std::rename(m_temporary.c_str(), m_real.c_str()) != 0) {
        fail(errno);
        discard();
        return false;
    }
    m_temporary.clear();
    ::close(std::exchange(m_verrou, -1));
    // The new name is in place already; a folder that cannot be synced
    // (some file systems refuse) does not undo that.
    FsyncDossier(m_folder);
    return true;
}

// A file known by several names stays one file: its bytes are replaced in
// place from the complete temporary. Room for them is reserved first, so a
// full disk is met before the old bytes are touched; the temporary goes only
// once the copy is on disk.
bool AtomicFile::replaceInPlace()
{
    const int source = ::open(m_temporary.c_str(), O_RDONLY | O_CLOEXEC);
    const int cible = ::open(m_real.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    struct stat etatSource {};
    struct stat etatCible {};
    bool ok = source >= 0 && cible >= 0 && ::fstat(source, &etatSource) == 0 && ::fstat(cible, &etatCible) == 0;
    if (!ok)
        fail(errno);
    // Another file was put under that name meanwhile: not ours to rewrite.
    if (ok && (etatCible.st_dev != m_device || etatCible.st_ino != m_inode))
        ok = fail(ESTALE);
    const off_t taille = etatSource.st_size;
    if (ok && taille > 0 && ::fallocate(cible, FALLOC_FL_KEEP_SIZE, 0, taille) != 0)
        ok = fail(errno);
    bool entame = false;
    if (ok) {
        std::vector<char> tampon(1 << 16);
        for (off_t fait = 0; ok && fait < taille;) {
            const ssize_t n = ::pread(source, tampon.data(), tampon.size(), fait);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ok = fail(n < 0 ? errno : EIO);
                break;
            }
            entame = true;
            ok = ::lseek(cible, fait, SEEK_SET) == fait && EcritTout(cible, tampon.data(), static_cast<std::size_t>(n));
            if (!ok)
                fail(errno);
            fait += n;
        }
        ok = ok && ::ftruncate(cible, taille) == 0 && ::fsync(cible) == 0;
        if (!ok)
            fail(errno);
    }
    if (source >= 0)
        ::close(source);
    if (cible >= 0 && ::close(cible) != 0 && ok)
        ok = fail(errno);
    if (!ok && entame) {
        // The old bytes are partly gone: the complete new file under the
        // name, without the link, is better than a mixture of both.
        if (std::rename(m_temporary.c_str(), m_real.c_str()) == 0) {
            m_temporary.clear();
            FsyncDossier(m_folder);
        }
    }
    if (!ok) {
        discard();
        return false;
    }
    ::unlink(m_temporary.c_str());
    m_temporary.clear();
    ::close(std::exchange(m_verrou, -1));
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
    if (m_verrou >= 0)
        ::close(std::exchange(m_verrou, -1));
}
