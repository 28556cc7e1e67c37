// The .tp2 registration with the desktop.

#include "CAssociationFichier.h"
#include "CTamparoApp.h"
#include "TestImages.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

class Association : public testing::Test {
protected:
    void SetUp() override
    {
        CTamparoApp::EnregistreRessources();
        m_avant = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(bac.path("donnees")));
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", m_avant); }

    QByteArray Contenu(const char* nom) const
    {
        QFile fichier(QString::fromStdString(bac.path("donnees/") + nom));
        return fichier.open(QIODevice::ReadOnly) ? fichier.readAll() : QByteArray();
    }

    TestImages::Sandbox bac;

private:
    QByteArray m_avant;
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
    EXPECT_TRUE(entree.contains("\nExec=\"/opt/tamparo2/bin/tamparo2\" %f\n"));
    EXPECT_TRUE(entree.contains("\nMimeType=application/x-tamparo2;\n"));
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
    EXPECT_TRUE(Contenu("applications/tamparo2.desktop").contains("\nExec=\"/usr/local/bin/tamparo2\" %f\n"));
}

TEST_F(Association, TheProgramPathIsQuotedAsDesktopEntriesRequire)
{
    EXPECT_EQ(CAssociationFichier::LigneCommande("/home/me/my apps/tamparo2"), "\"/home/me/my apps/tamparo2\" %f");
    EXPECT_EQ(CAssociationFichier::LigneCommande("/a\"b`c$d/t"), "\"/a\\\\\"b\\\\`c\\\\$d/t\" %f");
    EXPECT_EQ(CAssociationFichier::LigneCommande("/a\\b/t"), "\"/a\\\\\\\\b/t\" %f");
    EXPECT_EQ(CAssociationFichier::LigneCommande("/100%/t"), "\"/100%%/t\" %f");

    // A line break would start a line of its own in the entry.
    EXPECT_EQ(CAssociationFichier::Enregistre("/tmp/x\nExec=/bin/evil"), -1);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(bac.path("donnees/applications/tamparo2.desktop"))));
}
