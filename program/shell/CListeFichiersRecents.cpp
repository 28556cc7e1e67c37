#include "CListeFichiersRecents.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString kGroupe = QStringLiteral("Recent File List");

// QSettings reads the whole file: a file far larger than four paths is not ours.
constexpr qint64 kTailleFichierMax = 64 * 1024;
// The longest path the system accepts.
constexpr qsizetype kCheminMax = 4096;

QString Cle(int rang) { return QStringLiteral("File%1").arg(rang + 1); }

} // namespace

QString CListeFichiersRecents::CheminFichier()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Local AppWizard-Generated Applications/Tamparo2.conf");
}

void CListeFichiersRecents::Lecture()
{
    m_fichiers.clear();
    const QFileInfo fichier(CheminFichier());
    if (!fichier.isFile() || fichier.size() > kTailleFichierMax)
        return;
    QSettings profil(fichier.filePath(), QSettings::IniFormat);
    profil.beginGroup(kGroupe);
    for (int rang = 0; rang < kTaille; ++rang) {
        const QVariant valeur = profil.value(Cle(rang));
        if (valeur.typeId() != QMetaType::QString)
            continue;
        const QString chemin = valeur.toString();
        if (chemin.isEmpty() || chemin.size() > kCheminMax)
            continue;
        const CString entree = chemin.toStdString();
        if (std::find(m_fichiers.begin(), m_fichiers.end(), entree) == m_fichiers.end())
            m_fichiers.push_back(entree);
    }
}

bool CListeFichiersRecents::Ecriture() const
{
    const QString chemin = CheminFichier();
    if (!QDir().mkpath(QFileInfo(chemin).absolutePath()))
        return false;
    QSettings profil(chemin, QSettings::IniFormat);
    profil.beginGroup(kGroupe);
    profil.remove(QString());
    for (std::size_t rang = 0; rang < m_fichiers.size(); ++rang)
        profil.setValue(Cle(static_cast<int>(rang)), QString::fromStdString(m_fichiers[rang]));
    profil.endGroup();
    profil.sync();
    return profil.status() == QSettings::NoError;
}

void CListeFichiersRecents::Ajoute(const CString& chemin)
{
    if (chemin.empty())
        return;
    std::erase(m_fichiers, chemin);
    m_fichiers.insert(m_fichiers.begin(), chemin);
    if (m_fichiers.size() > kTaille)
        m_fichiers.resize(kTaille);
}
