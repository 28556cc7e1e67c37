#include "CliTestSupport.h"

#include <QProcess>

#include <filesystem>

namespace CliTest {

QString Programme() { return QStringLiteral(TAMPARO2_CLI); }

Sortie Lance(const QStringList& arguments, const std::string& dossier, const QByteArray& entree,
             const QProcessEnvironment& environnement)
{
    QProcess processus;
    if (!dossier.empty())
        processus.setWorkingDirectory(QString::fromStdString(dossier));
    if (!environnement.isEmpty())
        processus.setProcessEnvironment(environnement);
    processus.start(Programme(), arguments);
    processus.write(entree);
    processus.closeWriteChannel();
    Sortie sortie;
    if (!processus.waitForFinished(120000) || processus.exitStatus() != QProcess::NormalExit)
        return sortie;
    sortie.code = processus.exitCode();
    sortie.standard = processus.readAllStandardOutput().toStdString();
    sortie.erreurs = processus.readAllStandardError().toStdString();
    return sortie;
}

std::string Lit(const std::string& chemin)
{
    const std::vector<std::uint8_t> octets = TestImages::ReadFile(chemin);
    return std::string(octets.begin(), octets.end());
}

bool Contient(const std::string& texte, const std::string& morceau) { return texte.find(morceau) != std::string::npos; }

std::string EssaiPhotos::Photo(const std::string& nom, int largeur, int hauteur)
{
    const std::string chemin = bac.path(nom);
    std::filesystem::create_directories(std::filesystem::path(chemin).parent_path());
    HBITMAP image = TestImages::Gradient(largeur, hauteur);
    EXPECT_EQ(graphique.SauveImage(chemin, image, 90), 1);
    DeleteObject(image);
    return chemin;
}

} // namespace CliTest
