#include "SignatureOrdonnee.h"

#include "Interaction.h"

#include <QFileInfo>

#include <utility>

namespace {

// The other steps load the same logo: a damaged one is reported by the
// first step only.
std::unique_ptr<EtapeSignature> Seconde(const ModeleSignature& reglages)
{
    auto etape = std::make_unique<EtapeSignature>(reglages);
    etape->PrendRapport();
    return etape;
}

} // namespace

SignatureOrdonnee::SignatureOrdonnee(const ModeleSignature& reglages, Rappels rappels)
    : m_Rappels(std::move(rappels)),
      m_Nommage(reglages),
      m_Etapes{std::make_unique<EtapeSignature>(reglages), Seconde(reglages), Seconde(reglages)}
{
    for (int index = 0;; ++index) {
        const std::optional<CString> source = m_Rappels.Source(index);
        if (!source)
            break;
        const QFileInfo fichier(QString::fromStdString(*source));
        if (fichier.exists())
            m_Originaux.insert(fichier.canonicalFilePath());
    }
}

SignatureOrdonnee::~SignatureOrdonnee()
{
    for (Anticipation& suivante : m_Suivantes)
        suivante.Abandonne();
}

bool SignatureOrdonnee::Etape(int numero, const CString& fichier, const CString& operation)
{
    if (m_Rappels.Etape(numero, fichier, operation)) {
        m_Arret = 1;
        return true;
    }
    return false;
}

void SignatureOrdonnee::Anticipe(int index)
{
    const std::optional<CString> source = m_Rappels.Source(index);
    if (source && !Suivante(index).Tient(index + 1, *source))
        Suivante(index).Lance(Signataire(index), *source, index + 1);
}

bool SignatureOrdonnee::EstOriginal(const CString& sortie) const
{
    const QFileInfo fichier(QString::fromStdString(sortie));
    return fichier.exists() && m_Originaux.count(fichier.canonicalFilePath()) > 0;
}

bool SignatureOrdonnee::Ecrire(CString& sortie)
{
    // An original is never covered by an earlier "All replace".
    if (EstOriginal(sortie)) {
        const int reponse = m_Rappels.QuestionOriginal(sortie);
        if (reponse == IDCANCEL)
            m_Arret = 1;
        return reponse == IDYES;
    }
    if (!QFileInfo::exists(QString::fromStdString(sortie)))
        return true;
    if (m_Reponse == ToutEcraser || m_Reponse == ToutPasser)
        return m_Reponse == ToutEcraser;
    m_Reponse = m_Rappels.Question(sortie, m_Arret);
    // A new name is asked for again while it names a file already there.
    while (!m_Arret && m_Reponse == Renommer && QFileInfo::exists(QString::fromStdString(sortie))) {
        if (EstOriginal(sortie))
            return Ecrire(sortie);
        m_Reponse = m_Rappels.Question(sortie, m_Arret);
    }
    if (m_Reponse == Passer) {
        m_Reponse = Aucune;
        return false;
    }
    return m_Reponse != ToutPasser;
}

SignatureOrdonnee::Issue SignatureOrdonnee::Compte(Issue issue, const CString& source)
{
    if (issue == Issue::Signee || issue == Issue::Endommagee)
        ++m_Bilan.Signees;
    else if (issue == Issue::Passee)
        ++m_Bilan.Passees;
    else if (issue == Issue::Echec)
        m_Bilan.Echecs.push_back(source);
    if (issue == Issue::Endommagee)
        m_Bilan.Endommagees.push_back(source);
    return issue;
}

SignatureOrdonnee::Issue SignatureOrdonnee::SigneFichier(int index, const CString& source)
{
    const int numero = index + 1;
    if (Etape(numero, source, kEtapeChargement))
        return Issue::Arretee;
    // A list changed since the file was started ("New") has it started again.
    if (!Suivante(index).Tient(numero, source))
        Suivante(index).Lance(Signataire(index), source, numero);
    RapportCodec rapport;
    HBITMAP image = Suivante(index).Recoit(rapport);
    CString sortie = m_Nommage.Chemin(source);
    if (!image) {
        // One box for the picture, with everything its reader said.
        CString raison;
        for (const RapportCodec::Message& message : rapport.Messages())
            raison += (raison.empty() ? "" : "\n") + message.Texte;
        if (!m_Rappels.EchecChargement(source, raison))
            m_Arret = 1;
        return Compte(Issue::Echec, source);
    }
    // The next two start at once (the step of the one after next has just
    // been freed); a run that stops before reaching them drops them.
    Anticipe(index + 1);
    Anticipe(index + 2);
    Issue issue = Issue::Arretee;
    if (!Etape(numero, source, kEtapePreparation) && !Etape(numero, source, sortie)) {
        // Names are checked at the start of the run; a source's own odd name
        // may still lead out of the folder.
        const bool dedans = m_Nommage.Dedans(sortie);
        const bool ecrire = dedans && Ecrire(sortie);
        if (!dedans)
            issue = Issue::Echec;
        else if (!ecrire && !m_Arret)
            issue = Issue::Passee;
        if (!dedans && !m_Rappels.EchecEcriture(sortie))
            m_Arret = 1;
        if (ecrire && !m_Arret && !m_Rappels.Interrompu()) {
            // The writers replace an existing file only once the new one is
            // complete: "Replace" on the source itself cannot lose it.
            const bool sauve = Signataire(index).SauveSignee(source, sortie, image, numero) != 0;
            // A damaged picture is signed as far as it was read; its reader
            // has spoken already.
            issue = !sauve ? Issue::Echec : rapport.Endommage().empty() ? Issue::Signee : Issue::Endommagee;
            if (!sauve && !m_Rappels.EchecEcriture(sortie))
                m_Arret = 1;
            if (m_Reponse == Ecraser)
                m_Reponse = Aucune;
        }
    }
    // Its memory serves the picture after next, which this step loads.
    Signataire(index).Rend(image);
    return Compte(issue, source);
}
