#include "Manifeste.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstring>

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

} // namespace

bool Manifeste::Ouvre(const std::string& chemin)
{
    m_Fichier.reset(std::fopen(chemin.c_str(), "w"));
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
    AjouteMembre(ligne, QStringLiteral("ms"), static_cast<qint64>(compte.Millisecondes));
    ligne += "}\n";
    return ligne.toStdString();
}

void Manifeste::Ecrit(const CompteRendu& compte)
{
    if (!m_Fichier)
        return;
    const std::string ligne = Ligne(compte);
    std::fwrite(ligne.data(), 1, ligne.size(), m_Fichier.get());
    std::fflush(m_Fichier.get());
}
