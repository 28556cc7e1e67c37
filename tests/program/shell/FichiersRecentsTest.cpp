// The recent-file list under the framework's profile key.

#include "ShellTestSupport.h"

#include "ScriptedInteraction.h"

#include <QFile>
#include <QSettings>

namespace {
std::vector<CString> Liste(std::initializer_list<const char*> chemins) { return {chemins.begin(), chemins.end()}; }
} // namespace

TEST_F(ShellTest, TheRecentFileListKeepsTheFourLatestOnce)
{
    CListeFichiersRecents liste;
    for (const char* chemin : {"/a.tp2", "/b.tp2", "/c.tp2", "/d.tp2", "/e.tp2"})
        liste.Ajoute(chemin);
    EXPECT_EQ(liste.Fichiers(), Liste({"/e.tp2", "/d.tp2", "/c.tp2", "/b.tp2"}));
    liste.Ajoute("/c.tp2");
    EXPECT_EQ(liste.Fichiers(), Liste({"/c.tp2", "/e.tp2", "/d.tp2", "/b.tp2"}));

    ASSERT_TRUE(liste.Ecriture());
    EXPECT_EQ(CListeFichiersRecents::CheminFichier().toStdString(),
              bac.path("config/Local AppWizard-Generated Applications/Tamparo2.conf"));
    QSettings profil(CListeFichiersRecents::CheminFichier(), QSettings::IniFormat);
    EXPECT_EQ(profil.value("Recent File List/File1").toString(), "/c.tp2");
    EXPECT_EQ(profil.value("Recent File List/File4").toString(), "/b.tp2");
    EXPECT_FALSE(profil.contains("Recent File List/File5"));

    CListeFichiersRecents relue;
    relue.Lecture();
    EXPECT_EQ(relue.Fichiers(), liste.Fichiers());
}

TEST_F(ShellTest, AStoredListIsReadWithCare)
{
    const QString chemin = CListeFichiersRecents::CheminFichier();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(chemin).absolutePath()));
    {
        QSettings profil(chemin, QSettings::IniFormat);
        profil.setValue("Recent File List/File1", "/x.tp2");
        profil.setValue("Recent File List/File2", "/x.tp2");
        profil.setValue("Recent File List/File3", QString(5000, QChar(u'a')));
        profil.setValue("Recent File List/File4", "/y.tp2");
        profil.setValue("Recent File List/File5", "/z.tp2");
    }
    CListeFichiersRecents liste;
    liste.Lecture();
    EXPECT_EQ(liste.Fichiers(), Liste({"/x.tp2", "/y.tp2"}));

    // A file far larger than any such list is not read at all.
    QFile enorme(chemin);
    ASSERT_TRUE(enorme.open(QIODevice::Append));
    enorme.write(QByteArray(200 * 1024, '#'));
    enorme.close();
    liste.Lecture();
    EXPECT_TRUE(liste.Fichiers().empty());
}

TEST_F(ShellTest, OpenedAndSavedTemplatesJoinTheListWhichIsStoredAtExit)
{
    ASSERT_TRUE(Demarre());
    std::vector<std::string> modeles;
    for (int i = 0; i < 5; ++i) {
        modeles.push_back(bac.path("m" + std::to_string(i) + ".tp2"));
        Scripted().files.push_back({modeles.back()});
        Article(57604)->trigger();
    }
    Scripted().files.push_back({modeles[1]});
    Article(57601)->trigger();
    const std::vector<CString> attendue{modeles[1], modeles[4], modeles[3], modeles[2]};
    EXPECT_EQ(application->FichiersRecents().Fichiers(), attendue);

    application->ExitInstance();
    CListeFichiersRecents relue;
    relue.Lecture();
    EXPECT_EQ(relue.Fichiers(), attendue);
}
