#include "ImagesDossier.h"

#include "LigneFichier.h"
#include "codecs/RegistreFormats.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

QFileInfoList Entrees(const QString& dossier, QDir::Filters genre)
{
    QFileInfoList entrees = QDir(dossier).entryInfoList(genre | QDir::NoDotAndDotDot);
    std::sort(entrees.begin(), entrees.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return LigneFichier::Precede(a.fileName(), b.fileName());
    });
    return entrees;
}

QFileInfoList SousDossiers(const QString& dossier)
{
    QFileInfoList dossiers = Entrees(dossier, QDir::Dirs);
    dossiers.removeIf([](const QFileInfo& entree) { return entree.isSymLink(); });
    return dossiers;
}

void Ajoute(const QString& dossier, bool sousDossiers, std::vector<CString>& images)
{
    for (const QFileInfo& fichier : Entrees(dossier, QDir::Files)) {
        const CString chemin = fichier.absoluteFilePath().toStdString();
        if (RegistreFormats::ParNom(chemin))
            images.push_back(chemin);
    }
    if (sousDossiers)
        for (const QFileInfo& sous : SousDossiers(dossier))
            Ajoute(sous.absoluteFilePath(), true, images);
}

} // namespace

bool ImagesDossier::ASousDossiers(const QString& dossier) { return !SousDossiers(dossier).isEmpty(); }

std::vector<CString> ImagesDossier::Images(const QString& dossier, bool sousDossiers)
{
    std::vector<CString> images;
    Ajoute(dossier, sousDossiers, images);
    return images;
}
