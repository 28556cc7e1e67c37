#include "Jeton.h"

#include "codecs/Metadonnees.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QString>

#include <cctype>

namespace {

// "YYYY:MM:DD" at the start of an Exif date, as "YYYY-MM-DD"; empty otherwise.
std::string DateExif(const std::string& exif)
{
    if (exif.size() < 10 || exif[4] != ':' || exif[7] != ':')
        return {};
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!std::isdigit(static_cast<unsigned char>(exif[i])))
            return {};
    // Cameras without a clock write zeros.
    if (exif.compare(0, 4, "0000") == 0)
        return {};
    return exif.substr(0, 4) + '-' + exif.substr(5, 2) + '-' + exif.substr(8, 2);
}

} // namespace

CString Jeton::Remplace(const CString& texte, const Contexte& contexte)
{
    if (texte.find('{') == CString::npos)
        return texte;
    CString sortie;
    sortie.reserve(texte.size());
    std::size_t i = 0;
    while (i < texte.size()) {
        const std::size_t ouvre = texte.find('{', i);
        if (ouvre == CString::npos) {
            sortie.append(texte, i, CString::npos);
            break;
        }
        sortie.append(texte, i, ouvre - i);
        if (ouvre + 1 < texte.size() && texte[ouvre + 1] == '{') {
            sortie += '{';
            i = ouvre + 2;
            continue;
        }
        const std::size_t ferme = texte.find('}', ouvre + 1);
        if (ferme == CString::npos) {
            sortie.append(texte, ouvre, CString::npos);
            break;
        }
        std::string valeur;
        if (Valeur(texte.substr(ouvre + 1, ferme - ouvre - 1), contexte, valeur))
            sortie += valeur;
        else
            sortie.append(texte, ouvre, ferme - ouvre + 1);
        i = ferme + 1;
    }
    return sortie;
}

bool Jeton::Valeur(const std::string& nom, const Contexte& contexte, std::string& valeur)
{
    const QFileInfo fichier(QString::fromStdString(contexte.Chemin));
    if (nom == "name")
        valeur = Nettoie(fichier.completeBaseName().toStdString());
    else if (nom == "ext")
        valeur = Nettoie(fichier.suffix().toStdString());
    else if (nom == "folder")
        valeur = Nettoie(fichier.absoluteDir().dirName().toStdString());
    else if (nom == "date")
        valeur = Date(contexte);
    else if (nom == "year")
        valeur = Date(contexte).substr(0, 4);
    else if (nom == "counter")
        valeur = std::to_string(contexte.Numero);
    else if (nom == "width")
        valeur = std::to_string(contexte.Taille.cx);
    else if (nom == "height")
        valeur = std::to_string(contexte.Taille.cy);
    else if (nom.starts_with("exif:") && nom.size() > 5)
        valeur = contexte.Meta ? Nettoie(contexte.Meta->Etiquette(nom.substr(5))) : std::string();
    else
        return false;
    return true;
}

std::string Jeton::Date(const Contexte& contexte)
{
    if (contexte.Meta) {
        const std::string exif = DateExif(contexte.Meta->DateOriginale());
        if (!exif.empty())
            return exif;
    }
    const QFileInfo fichier(QString::fromStdString(contexte.Chemin));
    if (contexte.Chemin.empty() || !fichier.exists())
        return {};
    return fichier.lastModified().date().toString(Qt::ISODate).toStdString();
}

std::string Jeton::Nettoie(const std::string& brut)
{
    // Invalid UTF-8 becomes replacement characters; controls, line breaks
    // and direction overrides would garble or reorder the signature.
    const QString texte = QString::fromUtf8(brut.data(), static_cast<qsizetype>(brut.size()));
    QString propre;
    for (const QChar c : texte) {
        const QChar::Category cat = c.category();
        if (cat != QChar::Other_Control && cat != QChar::Other_Format && cat != QChar::Separator_Line &&
            cat != QChar::Separator_Paragraph)
            propre += c;
    }
    std::string octets = propre.toStdString();
    if (octets.size() > kLongueurValeur) {
        std::size_t fin = kLongueurValeur;
        while (fin > 0 && (static_cast<unsigned char>(octets[fin]) & 0xC0) == 0x80)
            --fin;
        octets.resize(fin);
    }
    return octets;
}
