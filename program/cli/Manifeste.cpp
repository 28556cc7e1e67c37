#include "Manifeste.h"

#include "Bilan.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

const char* Statut(CompteRendu::Statut etat)
{
    switch (etat) {
    case CompteRendu::Statut::Signe:
        return "ok";
    case CompteRendu::Statut::Passe:
        return "skipped";
    case CompteRendu::Statut::Echec:
        break;
    }
    return "failed";
}

// A member of the line in the order scripts and people have always seen;
// QJsonObject would sort the keys, so each member is written on its own.
void AjouteMembre(QByteArray& ligne, const QString& cle, const QJsonValue& valeur)
{
    const QByteArray objet = QJsonDocument(QJsonObject{{cle, valeur}}).toJson(QJsonDocument::Compact);
    ligne += ligne.isEmpty() ? '{' : ',';
    ligne += objet.mid(1, objet.size() - 2);
}

// Ordinary names keep their one readable field.
void AjouteChemin(QByteArray& ligne, const QString& cle, const std::string& chemin)
{
    const QByteArray octets = QByteArray::fromStdString(chemin);
    const QString lisible = QString::fromUtf8(octets);
    AjouteMembre(ligne, cle, lisible);
    if (lisible.toUtf8() != octets)
        AjouteMembre(ligne, cle + Manifeste::kSuffixeOctets, QString::fromLatin1(octets.toBase64()));
}

namespace fs = std::filesystem;

// A record line is short: reading further would only read a picture.
constexpr std::size_t kLigneMax = 1 << 20;

// Only a path of the same name is resolved: a large run's list is not
// walked through the file system. A file of another name that leads there
// exists, and its content already tells it is no manifest.
bool MemeFichier(const fs::path& canonique, const std::string& chemin)
{
    if (fs::path(chemin).filename() != canonique.filename())
        return false;
    std::error_code erreur;
    const fs::path autre = fs::weakly_canonical(chemin, erreur);
    return !erreur && autre == canonique;
}

bool CommenceParUnEnregistrement(const std::string& chemin)
{
    std::ifstream fichier(chemin, std::ios::binary);
    if (!fichier)
        return true; // opening it for writing will say why
    std::string ligne;
    for (char c; ligne.size() < kLigneMax && fichier.get(c) && c != '\n';)
        ligne += c;
    Bilan::Enregistrement enregistrement;
    return Bilan::LitLigne(ligne, enregistrement);
}

} // namespace

std::string Manifeste::Refus(const std::string& chemin, const std::vector<Travail>& travaux)
{
    std::error_code erreur;
    const fs::path canonique = fs::weakly_canonical(chemin, erreur);
    if (!erreur) {
        for (const Travail& t : travaux) {
            if (MemeFichier(canonique, t.Source))
                return "the manifest " + chemin + " is a picture of the run";
            if (t.Refus.empty() && MemeFichier(canonique, t.Destination))
                return "the manifest " + chemin + " is an output of the run";
        }
    }
    // Devices and pipes (/dev/stdout) are no files a run would destroy.
    const fs::file_status etat = fs::status(chemin, erreur);
    if (fs::is_regular_file(etat) && fs::file_size(chemin, erreur) > 0 && !erreur &&
        !CommenceParUnEnregistrement(chemin))
        return "the file " + chemin + " is not a manifest: its first line is no manifest record";
    return {};
}

bool Manifeste::Ouvre(const std::string& chemin, bool ajoute)
{
    m_Fichier.reset(std::fopen(chemin.c_str(), ajoute ? "a" : "w"));
    if (!m_Fichier)
        Erreur = std::strerror(errno);
    return m_Fichier != nullptr;
}

std::string Manifeste::Ligne(const CompteRendu& compte)
{
    QByteArray ligne;
    AjouteChemin(ligne, QStringLiteral("source"), compte.Objet->Source);
    AjouteChemin(ligne, QStringLiteral("destination"), compte.Objet->Destination);
    AjouteMembre(ligne, QStringLiteral("status"), QString::fromLatin1(Statut(compte.Etat)));
    AjouteMembre(ligne, QStringLiteral("error"), QString::fromUtf8(compte.Erreur));
    if (!compte.Avertissement.empty())
        AjouteMembre(ligne, QStringLiteral("warning"), QString::fromUtf8(compte.Avertissement));
    AjouteMembre(ligne, QStringLiteral("ms"), static_cast<qint64>(compte.Millisecondes));
    ligne += "}\n";
    return ligne.toStdString();
}

bool Manifeste::Ecrit(const CompteRendu& compte)
{
    if (!m_Fichier)
        return true;
    const std::string ligne = Ligne(compte);
    errno = 0;
    if (std::fwrite(ligne.data(), 1, ligne.size(), m_Fichier.get()) == ligne.size() &&
        std::fflush(m_Fichier.get()) == 0)
        return true;
    Erreur = std::strerror(errno ? errno : EIO);
    return false;
}
