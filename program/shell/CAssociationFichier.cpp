#include "CAssociationFichier.h"

#include "AtomicFile.h"
#include "Resources.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QProcess>
#include <QStandardPaths>

namespace {

constexpr UINT kIconeApplication = 105;
constexpr int kTailleIcone = 48;
constexpr int kAttenteOutilMs = 10000;
// Shipped as they are by the package; the per-user copies are made from them.
constexpr const char* kEntreeBureau = "tamparo2.desktop";
constexpr const char* kPaquetMime = "tamparo2.xml";

QByteArray Ressource(const char* nom)
{
    QFile fichier(QStringLiteral(":/tamparo2/bureau/") + QLatin1String(nom));
    return fichier.open(QIODevice::ReadOnly) ? fichier.readAll() : QByteArray();
}

// The installed entry with this program's command in place of its Exec line.
QByteArray EntreeBureau(const QString& commande)
{
    QList<QByteArray> lignes = Ressource(kEntreeBureau).split('\n');
    for (QByteArray& ligne : lignes)
        if (ligne.startsWith("Exec="))
            ligne = "Exec=" + commande.toUtf8();
    return lignes.join('\n');
}

QByteArray IconePng()
{
    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    Resources::loadIcon(ResourceModule::Program, kIconeApplication)
        .pixmap(kTailleIcone, kTailleIcone)
        .save(&tampon, "PNG");
    return octets;
}

enum class Ecrit { Deja, Oui, Echec };

// Writes contenu to chemin unless the file already holds exactly that.
Ecrit MetAJour(const QString& chemin, const QByteArray& contenu)
{
    QFile actuel(chemin);
    if (actuel.size() == contenu.size() && actuel.open(QIODevice::ReadOnly) && actuel.readAll() == contenu)
        return Ecrit::Deja;
    if (contenu.isEmpty() || !QDir().mkpath(QFileInfo(chemin).absolutePath()))
        return Ecrit::Echec;
    AtomicFile fichier(chemin.toStdString());
    if (!fichier.open() || !fichier.write(contenu.constData(), static_cast<std::size_t>(contenu.size()))
        || !fichier.commit())
        return Ecrit::Echec;
    return Ecrit::Oui;
}

// The desktop reads compiled caches. Rebuilt only after a change (the first
// start, a moved program), and waited for so that no copy of the tool is left
// working on a folder that goes away.
void Actualise(const char* outil, const QString& dossier)
{
    const QString programme = QStandardPaths::findExecutable(QString::fromLatin1(outil));
    if (programme.isEmpty())
        return;
    QProcess processus;
    processus.start(programme, {dossier});
    if (!processus.waitForFinished(kAttenteOutilMs))
        processus.kill();
    processus.waitForFinished();
}

} // namespace

QString CAssociationFichier::DossierDonnees()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString CAssociationFichier::LigneCommande(const CString& programme)
{
    // Quoted argument: these four take a backslash; then the entry's string
    // syntax doubles every backslash, and a field code's "%" is written "%%".
    QString cite;
    for (const QChar c : QString::fromStdString(programme)) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            cite += u'\\';
        cite += c;
    }
    cite.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    cite.replace(QStringLiteral("%"), QStringLiteral("%%"));
    return QStringLiteral("\"%1\" %F").arg(cite);
}

bool CAssociationFichier::InstallationSysteme()
{
    const QString personnel = DossierDonnees();
    for (const QString& dossier : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        if (dossier == personnel)
            continue;
        const QDir d(dossier);
        if (d.exists(QStringLiteral("applications/") + QLatin1String(kEntreeBureau))
            && d.exists(QStringLiteral("mime/packages/") + QLatin1String(kPaquetMime)))
            return true;
    }
    return false;
}

int CAssociationFichier::Enregistre(const CString& programme)
{
    // A line break would end the Exec line and start another entry.
    if (programme.empty() || programme.find_first_of("\n\r") != CString::npos)
        return -1;
    // A per-user copy would hide the package's entry behind this program's path.
    if (InstallationSysteme())
        return 0;
    const QString donnees = DossierDonnees();
    if (donnees.isEmpty())
        return -1;
    const QString dossierMime = donnees + QStringLiteral("/mime");
    const QString dossierApplications = donnees + QStringLiteral("/applications");

    const Ecrit mime =
        MetAJour(dossierMime + QStringLiteral("/packages/") + QLatin1String(kPaquetMime), Ressource(kPaquetMime));
    const Ecrit bureau =
        MetAJour(dossierApplications + QStringLiteral("/") + QLatin1String(kEntreeBureau),
                 EntreeBureau(LigneCommande(programme)));
    const Ecrit icone =
        MetAJour(donnees + QStringLiteral("/icons/hicolor/48x48/apps/tamparo2.png"), IconePng());
    if (mime == Ecrit::Oui)
        Actualise("update-mime-database", dossierMime);
    if (bureau == Ecrit::Oui)
        Actualise("update-desktop-database", dossierApplications);

    int ecrits = 0;
    for (const Ecrit e : {mime, bureau, icone}) {
        if (e == Ecrit::Echec)
            return -1;
        ecrits += e == Ecrit::Oui ? 1 : 0;
    }
    return ecrits;
}
