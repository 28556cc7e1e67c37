#include "CBaseRegistre.h"

#include "CRoutine.h"
#include "Decimal.h"

#include <QAbstractButton>
#include <QDir>
#include <QSettings>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Far above what any program keeps in its settings; QSettings reads the whole
// file into memory, so a runaway file must not be loaded.
constexpr off_t kTailleFichierMax = off_t(16) << 20;

std::filesystem::path DossierConfiguration()
{
    // A relative XDG_CONFIG_HOME is to be ignored, as the XDG rules say.
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && xdg.startsWith(u'/'))
        return std::filesystem::path(xdg.toStdString());
    return std::filesystem::path(QDir::homePath().toStdString()) / ".config";
}

// The bytes of a stored value, whatever form the INI parser gave it. False
// for a value of a kind this store never writes.
bool OctetsStockes(const QVariant& valeur, QByteArray& octets)
{
    switch (valeur.typeId()) {
    case QMetaType::QByteArray:
        octets = valeur.toByteArray();
        return true;
    case QMetaType::QString:
        octets = valeur.toString().toUtf8();
        return true;
    case QMetaType::QStringList:
        // An unquoted "a, b" typed into the file by hand.
        octets = valeur.toStringList().join(QStringLiteral(", ")).toUtf8();
        return true;
    default:
        return false;
    }
}

} // namespace

int CBaseRegistre::Resultat(int erreur)
{
    Erreur = erreur;
    return erreur == 0 ? 1 : 0;
}

int CBaseRegistre::Ouvre(const CString& nom, WORD)
{
    Cle.reset();
    // The name becomes a file name: keep it inside the Quillon folder.
    if (nom.empty() || nom == "." || nom == ".." || nom.find_first_of(std::string_view("/\0", 2)) != CString::npos)
        return Resultat(EINVAL);
    const std::filesystem::path dossier = DossierConfiguration() / "Quillon";
    std::error_code erreur;
    std::filesystem::create_directories(dossier, erreur);
    if (erreur)
        return Resultat(erreur.value() ? erreur.value() : EIO);

    // Creating the file now gives the empty key and proves that it can be
    // written; O_NONBLOCK keeps a FIFO planted there from blocking us.
    const std::filesystem::path fichier = dossier / (nom + ".conf");
    const int fd = ::open(fichier.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0)
        return Resultat(errno);
    struct stat etat {};
    const bool lisible = ::fstat(fd, &etat) == 0;
    ::close(fd);
    if (!lisible || !S_ISREG(etat.st_mode))
        return Resultat(EINVAL);
    if (etat.st_size > kTailleFichierMax)
        return Resultat(EFBIG);

    // A file spoiled by hand still gives the values that parse; the next
    // close writes it back clean.
    auto cle = std::make_shared<QSettings>(QString::fromStdString(fichier.string()), QSettings::IniFormat);
    if (cle->status() == QSettings::AccessError)
        return Resultat(EIO);
    Cle = std::move(cle);
    return Resultat(0);
}

int CBaseRegistre::OuvreLecture(const CString& nom) { return Ouvre(nom, 2); }

int CBaseRegistre::OuvreEcriture(const CString& nom) { return Ouvre(nom, 1); }

int CBaseRegistre::Ferme()
{
    if (!Cle)
        return Resultat(EBADF);
    Cle->sync();
    // QSettings keeps only its first error: after a format error on reading,
    // a failed write would not show in the status.
    const QSettings::Status etat = Cle->status();
    const bool ecrit = etat == QSettings::NoError || (etat == QSettings::FormatError && Cle->isWritable());
    Cle.reset();
    return Resultat(ecrit ? 0 : EIO);
}

int CBaseRegistre::Lecture(const CString& valeur, CString& texte)
{
    if (!Cle)
        return Resultat(EBADF);
    const QVariant stocke = Cle->value(QString::fromStdString(valeur));
    if (!stocke.isValid())
        return Resultat(ENOENT);
    QByteArray octets;
    if (!OctetsStockes(stocke, octets))
        return Resultat(EINVAL);
    if (octets.size() + 1 > kTailleTexteMax)
        return Resultat(EFBIG);
    // Read as a zero-terminated string, as it was written.
    texte.assign(octets.constData(), ::strnlen(octets.constData(), static_cast<std::size_t>(octets.size())));
    return Resultat(0);
}

int CBaseRegistre::LectureNombre(const CString& valeur, long long& nombre)
{
    CString texte;
    if (!Lecture(valeur, texte))
        return 0;
    nombre = DecimalValue(texte);
    return 1;
}

int CBaseRegistre::Lecture(const CString& valeur, unsigned int& nombre)
{
    long long lu = 0;
    if (!LectureNombre(valeur, lu))
        return 0;
    // Written with "%d": values above INT_MAX come back negative and keep
    // their bits; text typed in unsigned form is accepted too.
    nombre = static_cast<unsigned int>(std::clamp<long long>(lu, INT_MIN, UINT_MAX));
    return 1;
}

int CBaseRegistre::Lecture(const CString& valeur, int& nombre)
{
    long long lu = 0;
    if (!LectureNombre(valeur, lu))
        return 0;
    nombre = static_cast<int>(std::clamp<long long>(lu, INT_MIN, INT_MAX));
    return 1;
}

int CBaseRegistre::Lecture(const CString& valeur, long& nombre)
{
    long long lu = 0;
    if (!LectureNombre(valeur, lu))
        return 0;
    nombre = static_cast<long>(std::clamp<long long>(lu, LONG_MIN, LONG_MAX));
    return 1;
}

int CBaseRegistre::Lecture(const CString& valeur, QAbstractButton& bouton)
{
    long long lu = 0;
    if (!LectureNombre(valeur, lu))
        return 0;
    CRoutine::FixeEtatBouton(&bouton, lu != 0);
    return 1;
}

int CBaseRegistre::Lecture(const CString& valeur, void* tampon, long taille)
{
    if (!Cle)
        return Resultat(EBADF);
    if (taille < 0 || (taille > 0 && !tampon))
        return Resultat(EINVAL);
    const QVariant stocke = Cle->value(QString::fromStdString(valeur));
    if (!stocke.isValid())
        return Resultat(ENOENT);
    QByteArray octets;
    if (!OctetsStockes(stocke, octets))
        return Resultat(EINVAL);
    if (octets.size() > taille)
        return Resultat(EOVERFLOW);
    if (!octets.isEmpty())
        std::memcpy(tampon, octets.constData(), static_cast<std::size_t>(octets.size()));
    return Resultat(0);
}

int CBaseRegistre::Ecriture(const CString& valeur, const CString& texte)
{
    if (!Cle)
        return Resultat(EBADF);
    // Refused rather than written beyond what a read accepts.
    if (static_cast<long long>(texte.size()) + 1 > kTailleTexteMax)
        return Resultat(EFBIG);
    const QByteArray octets(texte.data(), static_cast<qsizetype>(texte.size()));
    const QString caracteres = QString::fromUtf8(octets);
    // Bytes that are not UTF-8 (an old file name, say) are kept as bytes.
    if (caracteres.toUtf8() == octets)
        Cle->setValue(QString::fromStdString(valeur), caracteres);
    else
        Cle->setValue(QString::fromStdString(valeur), octets);
    return Resultat(0);
}

int CBaseRegistre::Ecriture(const CString& valeur, unsigned int nombre)
{
    return Ecriture(valeur, static_cast<int>(nombre));
}

int CBaseRegistre::Ecriture(const CString& valeur, int nombre) { return Ecriture(valeur, std::to_string(nombre)); }

int CBaseRegistre::Ecriture(const CString& valeur, long nombre) { return Ecriture(valeur, std::to_string(nombre)); }

int CBaseRegistre::Ecriture(const CString& valeur, QAbstractButton& bouton)
{
    // Indeterminate counts as not checked.
    int etat = 0;
    CRoutine::LireEtatBouton(&bouton, &etat);
    return Ecriture(valeur, etat);
}

int CBaseRegistre::Ecriture(const CString& valeur, const void* donnees, long taille)
{
    if (!Cle)
        return Resultat(EBADF);
    if (taille < 0 || (taille > 0 && !donnees))
        return Resultat(EINVAL);
    Cle->setValue(QString::fromStdString(valeur),
                  QByteArray(static_cast<const char*>(donnees), static_cast<qsizetype>(taille)));
    return Resultat(0);
}
