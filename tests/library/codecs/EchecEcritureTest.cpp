// A picture that cannot be written says why, and the file that was there
// stays as it was.

#include "codecs/PngFile.h"
#include "codecs/RapportCodec.h"
#include "codecs/WebpFile.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace TestImages;

namespace {

struct Cas {
    const char* quoi;
    // Prepares the sandbox; the path to write to.
    std::function<std::string(const Sandbox&)> prepare;
    bool webp;
    int quality;
    const char* cause;
    // Runs the save as a user root's permissions do not override.
    bool sansPrivileges = false;
};

// The report's texts of a save run in a child process that has dropped
// root's privileges, where a folder's permissions apply.
std::string TexteSansPrivileges(const std::function<std::string()>& sauve)
{
    int tube[2];
    if (::pipe(tube) != 0)
        return "no pipe";
    const pid_t enfant = ::fork();
    if (enfant == 0) {
        ::close(tube[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(1);
        const std::string texte = sauve();
        (void)!::write(tube[1], texte.data(), texte.size());
        ::_exit(0);
    }
    ::close(tube[1]);
    std::string texte;
    char tampon[512];
    for (ssize_t n; (n = ::read(tube[0], tampon, sizeof tampon)) > 0;)
        texte.append(tampon, static_cast<std::size_t>(n));
    ::close(tube[0]);
    ::waitpid(enfant, nullptr, 0);
    return texte;
}

TEST(EchecEcriture, TheMessageNamesTheCause)
{
    const auto ancien = [](const Sandbox& b, const char* nom) {
        WriteFile(b.path(nom), {'o', 'l', 'd'});
        return b.path(nom);
    };
    const std::vector<Cas> cas = {
        {"write-protected file",
         [&](const Sandbox& b) {
             const std::string p = ancien(b, "a.png");
             ::chmod(p.c_str(), 0444);
             return p;
         },
         false, 0, "the file is write-protected: Permission denied"},
        {"read-only folder",
         [&](const Sandbox& b) {
             std::filesystem::create_directory(b.path("ro"));
             const std::string p = ancien(b, "ro/a.webp");
             ::chmod(b.path("").c_str(), 0755);
             ::chmod(b.path("ro").c_str(), 0555);
             ::chmod(p.c_str(), 0666);
             return p;
         },
         true, 80, "the folder does not allow writing: Permission denied", true},
        {"name too long", [](const Sandbox& b) { return b.path(std::string(NAME_MAX + 1, 'n') + ".png"); }, false,
         0, "the name is too long: File name too long"},
        {"path too long",
         [](const Sandbox& b) {
             std::string p = b.path("");
             while (p.size() <= PATH_MAX)
                 p += "/dossier";
             return p + "/a.webp";
         },
         true, 80, "the name is too long: File name too long"},
        {"missing folder", [](const Sandbox& b) { return b.path("nowhere/a.png"); }, false, 0,
         "No such file or directory"},
        {"quality above", [&](const Sandbox& b) { return ancien(b, "a.webp"); }, true, 101,
         "quality 101 is outside 0-100"},
        {"quality below", [&](const Sandbox& b) { return ancien(b, "a.webp"); }, true, -1,
         "quality -1 is outside 0-100"},
    };
    HBITMAP image = Gradient(16, 8);
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.quoi);
        Sandbox box;
        const std::string path = c.prepare(box);
        std::error_code absent;
        const auto avant = std::filesystem::exists(path, absent) ? ReadFile(path) : std::vector<std::uint8_t>();
        const auto sauve = [&] {
            RapportCodec rapport;
            const int ecrit = c.webp ? WebpFile::Sauve(path, *image, c.quality, nullptr, nullptr, &rapport)
                                     : PngFile::Sauve(path, *image, nullptr, nullptr, &rapport);
            std::string textes = ecrit ? "written" : "";
            for (const auto& m : rapport.Messages())
                textes += m.Texte + "|" + m.Titre;
            return textes;
        };
        const std::string textes = c.sansPrivileges ? TexteSansPrivileges(sauve) : sauve();
        EXPECT_EQ(textes, "Unable to write " + path + ": " + c.cause + ".|Error");
        if (!avant.empty()) {
            EXPECT_EQ(ReadFile(path), avant) << "the old file stays";
        }
    }
    DeleteObject(image);
}

TEST(EchecEcriture, ASuccessfulSaveReportsNothing)
{
    Sandbox box;
    HBITMAP image = Gradient(16, 8);
    RapportCodec rapport;
    EXPECT_EQ(WebpFile::Sauve(box.path("a.webp"), *image, 100, nullptr, nullptr, &rapport), 1);
    EXPECT_EQ(PngFile::Sauve(box.path("a.png"), *image, nullptr, nullptr, &rapport), 1);
    EXPECT_TRUE(rapport.Messages().empty());
    DeleteObject(image);
}

} // namespace
