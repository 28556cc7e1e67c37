#include "CBaseRegistre.h"

#include "AtomicFile.h"
#include "CRoutine.h"
#include "Decimal.h"
#include "Interaction.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

// QSettings reads and serialises the INI text, but it writes a file in place
// when it cannot make its own temporary, and a short write may go unnoticed.
// So it only ever sees a private copy; the real file is written by us.
struct CBaseRegistre::CleOuverte {
    std::string fichier;
    QTemporaryDir copie;
    // Declared after the folder it lives in, so it is gone first.
    std::unique_ptr<QSettings> valeurs;
    bool modifiee = false;
};

namespace {

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

// Reads the whole settings file from fd; 0 or an errno value.
int LitFichier(int fd, QByteArray& contenu)
{
    struct stat etat {};
    if (::fstat(fd, &etat) != 0)
        return errno;
    if (!S_ISREG(etat.st_mode))
        return EINVAL;
    if (etat.st_size > CBaseRegistre::kTailleFichierMax)
        return EFBIG;
    contenu.resize(static_cast<qsizetype>(etat.st_size));
    qsizetype fait = 0;
    // The file may shrink or grow meanwhile: what is read is what counts,
    // within the limit.
    for (;;) {
        if (fait == contenu.size()) {
            if (contenu.size() > CBaseRegistre::kTailleFichierMax)
                return EFBIG;
            contenu.resize(std::min<qsizetype>(contenu.size() + 4096, CBaseRegistre::kTailleFichierMax + 1));
        }
        const ssize_t n = ::read(fd, contenu.data() + fait, static_cast<std::size_t>(contenu.size() - fait));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            break;
        fait += n;
    }
    contenu.truncate(fait);
    return 0;
}

bool EcritCopie(const QString& chemin, const QByteArray& contenu)
{
    QFile copie(chemin);
    if (!copie.open(QIODevice::WriteOnly | QIODevice::Truncate) || copie.write(contenu) != contenu.size()
        || !copie.flush())
        return false;
    copie.close();
    return copie.error() == QFileDevice::NoError;
}

bool MemesValeurs(const QSettings& a, const QSettings& b)
{
    const QStringList cles = a.allKeys();
    if (cles != b.allKeys())
        return false;
    return std::all_of(cles.begin(), cles.end(), [&](const QString& cle) { return a.value(cle) == b.value(cle); });
}

// Said once per run and file: the store would otherwise stop keeping the
// settings without a word.
void SignaleTropGrand(const std::string& fichier)
{
    static std::mutex verrou;
    static std::set<std::string> signales;
    {
        std::lock_guard<std::mutex> garde(verrou);
        if (!signales.insert(fichier).second)
            return;
    }
    AfxMessageBox("The settings file\n" + fichier
                      + "\nis larger than 16 MB. It is not read, and the settings are not saved until it is"
                        " removed or made smaller.",
                  MB_OK | MB_ICONWARNING);
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

    // Creating the file now gives the empty key; O_NONBLOCK keeps a FIFO
    // planted there from blocking us. What is read comes from this very
    // descriptor, whose size was checked.
    const std::filesystem::path fichier = dossier / (nom + ".conf");
    const int fd = ::open(fichier.c_str(), O_RDONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0)
        return Resultat(errno);
    QByteArray contenu;
    const int lu = LitFichier(fd, contenu);
    ::close(fd);
    if (lu == EFBIG)
        SignaleTropGrand(fichier.string());
    if (lu != 0)
        return Resultat(lu);

    auto cle = std::make_shared<CleOuverte>();
    cle->fichier = fichier.string();
    const QString copie = cle->copie.filePath(QStringLiteral("copie.conf"));
    if (!cle->copie.isValid() || !EcritCopie(copie, contenu))
        return Resultat(EIO);
    // A file spoiled by hand still gives the values that parse; the next
    // close writes it back clean.
    cle->valeurs = std::make_unique<QSettings>(copie, QSettings::IniFormat);
    if (cle->valeurs->status() == QSettings::AccessError)
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
    const std::shared_ptr<CleOuverte> cle = std::move(Cle);
    if (!cle->modifiee)
        return Resultat(0);
    QSettings& valeurs = *cle->valeurs;
    valeurs.sync();
    if (valeurs.status() == QSettings::AccessError)
        return Resultat(EIO);
    QFile copie(valeurs.fileName());
    if (!copie.open(QIODevice::ReadOnly))
        return Resultat(EIO);
    const QByteArray texte = copie.readAll();
    copie.close();
    // QSettings keeps only its first error, so a read's format error can hide
    // a failed write: the text, read back from another copy, must give
    // exactly the values held.
    const QString controle = cle->copie.filePath(QStringLiteral("controle.conf"));
    if (!EcritCopie(controle, texte) || !MemesValeurs(valeurs, QSettings(controle, QSettings::IniFormat)))
        return Resultat(EIO);
    AtomicFile fichier(cle->fichier);
    if (!fichier.open() || !fichier.write(texte.constData(), static_cast<std::size_t>(texte.size()))
        || !fichier.commit())
        return Resultat(fichier.error());
    return Resultat(0);
}

int CBaseRegistre::Lecture(const CString& valeur, CString& texte)
{
    if (!Cle)
        return Resultat(EBADF);
    const QVariant stocke = Cle->valeurs->value(QString::fromStdString(valeur));
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
    const QVariant stocke = Cle->valeurs->value(QString::fromStdString(valeur));
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
        Cle->valeurs->setValue(QString::fromStdString(valeur), caracteres);
    else
        Cle->valeurs->setValue(QString::fromStdString(valeur), octets);
    Cle->modifiee = true;
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
    Cle->valeurs->setValue(QString::fromStdString(valeur),
                           QByteArray(static_cast<const char*>(donnees), static_cast<qsizetype>(taille)));
    Cle->modifiee = true;
    return Resultat(0);
}
