// The .tp2 registration with the desktop.

#include "CAssociationFichier.h"
#include "RessourcesProgramme.h"
#include "TestImages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

class Association : public testing::Test {
protected:
    void SetUp() override
    {
        RessourcesProgramme::Enregistre();
        m_avant = qgetenv("XDG_DATA_HOME");
        m_systemeAvant = qgetenv("XDG_DATA_DIRS");
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(bac.path("donnees")));
        // The machine's own folders may hold an installed package.
        qputenv("XDG_DATA_DIRS", QByteArray::fromStdString(bac.path("systeme")));
    }
    void TearDown() override
    {
        qputenv("XDG_DATA_HOME", m_avant);
        qputenv("XDG_DATA_DIRS", m_systemeAvant);
    }

    QByteArray Contenu(const char* nom) const
    {
        QFile fichier(QString::fromStdString(bac.path("donnees/") + nom));
        return fichier.open(QIODevice::ReadOnly) ? fichier.readAll() : QByteArray();
    }

    TestImages::Sandbox bac;

private:
    QByteArray m_avant;
    QByteArray m_systemeAvant;
};

} // namespace

TEST_F(Association, WritesTheMimePackageTheEntryAndTheIconOnceOnly)
{
    EXPECT_EQ(CAssociationFichier::Enregistre("/opt/tamparo2/bin/tamparo2"), 3);
    const QByteArray mime = Contenu("mime/packages/tamparo2.xml");
    EXPECT_TRUE(mime.contains("<mime-type type=\"application/x-tamparo2\">"));
    EXPECT_TRUE(mime.contains("<glob pattern=\"*.tp2\"/>"));
    EXPECT_TRUE(mime.contains("<comment>Tamparo2 Document</comment>"));
    const QByteArray entree = Contenu("applications/tamparo2.desktop");
    EXPECT_TRUE(entree.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(entree.contains("\nExec=\"/opt/tamparo2/bin/tamparo2\" %F\n"));
    // Templates, then the pictures "Open with" adds to the list.
    EXPECT_TRUE(entree.contains("\nMimeType=application/x-tamparo2;image/jpeg;"));
    EXPECT_TRUE(Contenu("icons/hicolor/48x48/apps/tamparo2.png").startsWith("\x89PNG"));

    // Up to date: nothing is written again.
    const QString chemin = QString::fromStdString(bac.path("donnees/applications/tamparo2.desktop"));
    const QDateTime avant = QFileInfo(chemin).lastModified();
    QFile::setPermissions(chemin, QFileDevice::ReadOwner);
    EXPECT_EQ(CAssociationFichier::Enregistre("/opt/tamparo2/bin/tamparo2"), 0);
    EXPECT_EQ(QFileInfo(chemin).lastModified(), avant);
    QFile::setPermissions(chemin, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    // A program that moved rewrites its entry alone.
    EXPECT_EQ(CAssociationFichier::Enregistre("/usr/local/bin/tamparo2"), 1);
    EXPECT_TRUE(Contenu("applications/tamparo2.desktop").contains("\nExec=\"/usr/local/bin/tamparo2\" %F\n"));
}

TEST_F(Association, TheProgramPathIsQuotedAsDesktopEntriesRequire)
{
    EXPECT_EQ(CAssociationFichier::LigneCommande("/home/me/my apps/tamparo2"), "\"/home/me/my apps/tamparo2\" %F");
    EXPECT_EQ(CAssociationFichier::LigneCommande("/a\"b`c$d/t"), "\"/a\\\\\"b\\\\`c\\\\$d/t\" %F");
    EXPECT_EQ(CAssociationFichier::LigneCommande("/a\\b/t"), "\"/a\\\\\\\\b/t\" %F");
    EXPECT_EQ(CAssociationFichier::LigneCommande("/100%/t"), "\"/100%%/t\" %F");

    // A line break would start a line of its own in the entry.
    EXPECT_EQ(CAssociationFichier::Enregistre("/tmp/x\nExec=/bin/evil"), -1);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(bac.path("donnees/applications/tamparo2.desktop"))));
}

TEST_F(Association, TheUserEntryIsTheInstalledOneRunningThisProgramOnTemplatesAndPictures)
{
    ASSERT_EQ(CAssociationFichier::Enregistre("/home/me/build/tamparo2"), 3);
    QFile installe(QStringLiteral(":/tamparo2/bureau/tamparo2.desktop"));
    ASSERT_TRUE(installe.open(QIODevice::ReadOnly));
    const QList<QByteArray> attendues = installe.readAll().split('\n');
    const QList<QByteArray> lignes = Contenu("applications/tamparo2.desktop").split('\n');
    ASSERT_EQ(lignes.size(), attendues.size());
    int differentes = 0;
    for (int i = 0; i < lignes.size(); ++i) {
        if (lignes[i] == attendues[i])
            continue;
        ++differentes;
        EXPECT_EQ(attendues[i], "Exec=tamparo2 %F");
        EXPECT_EQ(lignes[i], "Exec=\"/home/me/build/tamparo2\" %F");
    }
    EXPECT_EQ(differentes, 1);
    EXPECT_TRUE(attendues.contains("MimeType=application/x-tamparo2;image/jpeg;image/bmp;image/gif;"
                                   "image/png;image/webp;image/heic;image/heif;image/avif;"));
}

TEST_F(Association, NothingIsWrittenForTheUserOnlyWhenAPackageInstalledBothFiles)
{
    struct Cas {
        const char* nom;
        bool entree;
        bool mime;
        int ecrits;
    };
    const Cas cas[] = {
        {"both installed", true, true, 0},
        {"entry alone", true, false, 3},
        {"MIME package alone", false, true, 3},
        {"nothing installed", false, false, 3},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        TestImages::Sandbox autre;
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(autre.path("donnees")));
        qputenv("XDG_DATA_DIRS", QByteArray::fromStdString(autre.path("vide") + ":" + autre.path("usr/share")));
        QDir().mkpath(QString::fromStdString(autre.path("usr/share/applications")));
        QDir().mkpath(QString::fromStdString(autre.path("usr/share/mime/packages")));
        if (c.entree)
            TestImages::WriteFile(autre.path("usr/share/applications/tamparo2.desktop"), {'x'});
        if (c.mime)
            TestImages::WriteFile(autre.path("usr/share/mime/packages/tamparo2.xml"), {'x'});
        EXPECT_EQ(CAssociationFichier::InstallationSysteme(), c.entree && c.mime);
        EXPECT_EQ(CAssociationFichier::Enregistre("/opt/tamparo2/bin/tamparo2"), c.ecrits);
        EXPECT_EQ(QFileInfo::exists(QString::fromStdString(autre.path("donnees/applications/tamparo2.desktop"))),
                  c.ecrits > 0);
    }
}
