#include "Bilan.h"

#include "Manifeste.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>

namespace {

// QString::toUtf8 turns a lone surrogate into '?'; U+FFFD says what it is.
std::string Utf8(QString texte)
{
    for (qsizetype i = 0; i < texte.size(); ++i) {
        if (texte[i].isHighSurrogate() && i + 1 < texte.size() && texte[i + 1].isLowSurrogate())
            ++i;
        else if (texte[i].isSurrogate())
            texte[i] = QChar::ReplacementCharacter;
    }
    return texte.toStdString();
}

// A path's exact bytes: those of its "_b64" field when there is one (a
// name that is not UTF-8), else its readable field. Null when either is
// there but no string, or the bytes are no base64.
std::optional<std::string> Chemin(const QJsonObject& champs, const QString& cle)
{
    const QJsonValue lisible = champs.value(cle);
    const QJsonValue octets = champs.value(cle + Manifeste::kSuffixeOctets);
    if (!lisible.isString() || !(octets.isUndefined() || octets.isString()))
        return std::nullopt;
    if (octets.isUndefined())
        return Utf8(lisible.toString());
    const QByteArray::FromBase64Result brut =
        QByteArray::fromBase64Encoding(octets.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!brut)
        return std::nullopt;
    return brut.decoded.toStdString();
}

} // namespace

bool Bilan::LitLigne(std::string_view ligne, Enregistrement& enregistrement)
{
    QJsonParseError erreur;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray(ligne.data(), static_cast<qsizetype>(ligne.size())), &erreur);
    if (erreur.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject champs = document.object();
    const std::optional<std::string> source = Chemin(champs, QStringLiteral("source"));
    const QString statut = champs.value(QStringLiteral("status")).toString();
    if (!source || source->empty() ||
        (statut != QLatin1String("ok") && statut != QLatin1String("skipped") && statut != QLatin1String("failed")))
        return false;
    enregistrement.Source = *source;
    enregistrement.Destination = Chemin(champs, QStringLiteral("destination")).value_or(std::string());
    enregistrement.Statut = statut.toStdString();
    enregistrement.Erreur = Utf8(champs.value(QStringLiteral("error")).toString());
    return true;
}

bool Bilan::Ajoute(const std::string& chemin)
{
    std::ifstream fichier(chemin, std::ios::binary);
    if (!fichier) {
        Erreur = "cannot read the manifest " + chemin + ": " + std::strerror(errno);
        return false;
    }
    std::size_t numero = 0;
    for (std::string ligne; std::getline(fichier, ligne);) {
        ++numero;
        if (ligne.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        Enregistrement e;
        if (!LitLigne(ligne, e)) {
            m_Illisibles.push_back(chemin + ":" + std::to_string(numero));
            continue;
        }
        ++m_Enregistrements;
        const int rang = e.Statut == "ok" ? kSigne : e.Statut == "skipped" ? kPasse : kEchec;
        const auto [place, nouvelle] = m_Images.try_emplace(e.Source, Issue{rang, e.Erreur});
        if (!nouvelle && rang > place->second.Rang)
            place->second = Issue{rang, e.Erreur};
    }
    if (fichier.bad()) {
        Erreur = "cannot read the manifest " + chemin;
        return false;
    }
    ++m_Manifestes;
    return true;
}

std::size_t Bilan::Compte(int rang) const
{
    std::size_t n = 0;
    for (const auto& [source, issue] : m_Images)
        n += issue.Rang == rang;
    return n;
}

std::string Bilan::Texte() const
{
    std::string texte = std::to_string(m_Manifestes) + (m_Manifestes == 1 ? " manifest, " : " manifests, ") +
                        std::to_string(m_Enregistrements) + " records, " + std::to_string(m_Images.size()) +
                        " pictures: " + std::to_string(Signes()) + " ok, " + std::to_string(Passes()) +
                        " skipped, " + std::to_string(Echecs()) + " failed\n";
    for (const auto& [source, issue] : m_Images)
        if (issue.Rang == kEchec)
            texte += "failed: " + source + (issue.Erreur.empty() ? "" : ": " + issue.Erreur) + "\n";
    return texte;
}
