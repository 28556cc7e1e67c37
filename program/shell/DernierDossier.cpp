#include "DernierDossier.h"

#include "CBaseRegistre.h"
#include "ReglagesRegistre.h"

#include <QFileInfo>

namespace {

CString Valeur(const char* usage) { return CString("LastFolder") + usage; }

} // namespace

namespace DernierDossier {

CString Lit(const char* usage)
{
    CBaseRegistre base;
    CString dossier;
    if (!base.OuvreLecture(ReglagesRegistre::kApplication))
        return dossier;
    base.Lecture(Valeur(usage), dossier);
    base.Ferme();
    return QFileInfo(QString::fromStdString(dossier)).isDir() ? dossier : CString();
}

void Retient(const char* usage, const CString& chosen)
{
    const QFileInfo choisi(QString::fromStdString(chosen));
    const QString dossier = choisi.isDir() ? choisi.absoluteFilePath() : choisi.absolutePath();
    CBaseRegistre base;
    if (chosen.empty() || !base.OuvreEcriture(ReglagesRegistre::kApplication))
        return;
    base.Ecriture(Valeur(usage), dossier.toStdString());
    base.Ferme();
}

} // namespace DernierDossier
