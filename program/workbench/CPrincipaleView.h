#pragma once
// The workbench: the form that fills the main frame, with the file list, the
// two signature panels, the live preview and the output options.

#include "ApercuParallele.h"
#include "CArchive.h"
#include "CDialog.h"
#include "Composition.h"
#include "Gdi.h"
#include "MemoireApercu.h"
#include "ModeleSignature.h"

#include <QIcon>
#include <QPointer>

#include <array>
#include <utility>
#include <vector>

class CGraphique;
class CMiniTexteDlg;
class CSignatureLogoDlg;
class QAbstractButton;
class QTreeWidget;
class VuePleineTaille;

class CPrincipaleView : public CDialog {
    Q_OBJECT

public:
    static constexpr UINT IDD = 101;

    // Builds the form inside parent and registers with the application object.
    explicit CPrincipaleView(QWidget* parent = nullptr);
    ~CPrincipaleView() override;

    // 1 until the first OnInitialUpdate has run; the document's reading waits for it.
    int Initialisation = 1;

    // Called by the frame once the view exists.
    void OnInitialUpdate();
    // The view's menu and tool-bar commands; TRUE when id was one of them.
    BOOL OnCommand(UINT id);
    // The signing template: writes when storing, reads otherwise.
    void Serialize(CArchive& ar, bool storing);
    // "Sign All Files": every listed picture signed and written as "Setup" says.
    void SigneTousLesFichiers();
    // 1 while SigneTousLesFichiers runs; the view's commands are refused meanwhile.
    int TraitementEnCours = 0;
    // "New": empty list, panels and output options back to their defaults.
    void ReinitialiseTout();
    // Creates the panels and gives them, and the view, the stored settings.
    void LectureReglages();
    // Stores the settings, then releases the panels and the images.
    void EcritureReglages();

    // File list
    void AjouteFichier(const CString& chemin);
    // A file joins the list; a folder adds the pictures it holds, with those
    // of its sub-folders when the user wants them.
    void AjouteChemin(const CString& chemin);
    void AfficheCompteur();
    void AfficheSelection();
    void ChargeSelection(const CString& chemin);
    // Index of the selected row, -1 for none.
    int LigneSelectionnee() const;
    // Selects the row and scrolls to it; the preview is AfficheSelection's.
    void SelectionneLigne(int index);
    QTreeWidget* Liste() const;

    // The selected picture (or the background) signed, reduced and shown.
    void ConstruitApercu();
    // Preview builds so far: a burst of changes asks for one.
    int ApercusConstruits = 0;
    // Where the text goes on a picture of that size (its anchors are
    // resolved with the text's extent when it is drawn).
    Position PositionTexte(CSize image) const;
    // The two layers as the panels hold them now; what the preview and the
    // batch run compose with.
    CoucheTexte CoucheTexteCourante() const;
    CoucheLogo CoucheLogoCourante() const;

    // Everything a template or the settings store holds, from the panels
    // and the controls as they are; and back (members and check states only).
    ModeleSignature Reglages() const;
    void FixeReglages(const ModeleSignature& reglages);

    // "Setup" enabling: the name text needs a prefix or suffix, the folder
    // controls need "Special", the quality number "Same as the original" off.
    void RegleNomFichier();
    void RegleRepertoire();
    void RegleQualite();
    // The resize number serves a mode other than "No", in the unit it names.
    void RegleRedimension();
    void ValeurDefautSortie();

    // The application's image toolbox; null outside the program.
    CGraphique* Graphique() const;

    CMiniTexteDlg* PanneauTexte = nullptr;      // owned
    CSignatureLogoDlg* PanneauLogo = nullptr;   // owned
    long ProfondeurImage = 0;
    std::array<QIcon, 4> Icones;

    HBITMAP ImageFond = nullptr;
    CSize TailleAffichage;
    HBITMAP ImageSelection = nullptr; // ImageFond itself when no picture is loaded
    CSize TailleImage;
    HBITMAP ImageSignee = nullptr;
    HBITMAP ImageApercu = nullptr;
    CSize TailleApercu;
    // The selected picture's path and metadata, for the text's tokens.
    CString CheminSelection;
    Metadonnees MetadonneesSelection;
    // The layers' styles, edited from each panel's "Style..." button.
    Style StyleTexte;
    Style StyleLogo;

    // "Setup"
    QAbstractButton* NomFichierAucun = nullptr;
    QAbstractButton* NomFichierPrefixe = nullptr;
    QAbstractButton* NomFichierSuffixe = nullptr;
    CString NomFichier = "TP";
    int QualiteJPEG = 75;
    QAbstractButton* NomRepertoireAucun = nullptr;
    QAbstractButton* NomRepertoireSpecifique = nullptr;
    CString NomRepertoire;

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // The form is no dialog: Enter and Escape end nothing.
    void OnOK() override {}
    void OnCancel() override {}
    void OnClicked(int id) override;
    // "Setup" edited or chosen by the user: the template changed.
    void OnEditChanged(int id) override;
    void OnSelectionChanged(int id) override;
    BOOL PreTranslateKey(int id, QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PoseIcones();
    void PrepareListe();
    void PrepareAffichage();
    void ChoisitFichiers();
    void SupprimeSelection();
    void SupprimeTout();
    void Deplace(int sens);
    void SuiviClavier();
    void MontrePanneau(bool texte);
    void ReinitialiseTexte();
    void ReinitialiseLogo();
    void EffaceTexte();
    void EffaceLogo();
    void AfficheFichierSelectionne();
    void ChoisitRepertoire();
    // A "Setup" radio, check box or the folder's "Select": its rule, and the template changed.
    void OnReglageClique(int id);
    void Rafraichit();
    void MarqueModifie();
    void RemplaceImage(HBITMAP& slot, HBITMAP image);
    void LiberePanneaux();
    void LibereImages();
    // The panels' "Style..." buttons open the style dialog of their layer.
    void BrancheStyles();
    void OuvreStyle(bool texte);
    // Margins and positions given in percent show a "%" in their edits.
    void MarqueUnitesPlace();

    // Every child's place at the layout's own size, taken once the form is
    // built; the form grows from it.
    void RetientDisposition();
    QRect PlaceEtiree(int id, QRect origine, QSize surplus) const;
    void Dispose();
    // A display resized gets a background and a preview of its new size.
    void AgranditAffichage();
    // The display's background: modele (released here) at that size, or a
    // blank one when there is no modele.
    HBITMAP FondAffichage(HBITMAP modele, CSize taille);
    std::vector<std::pair<QPointer<QWidget>, QRect>> m_disposition;
    QSize m_tailleDisposition;
    int m_debutListe = 0;
    int m_debutReglages = 0;
    int m_debutSignature = 0;
    // Width "Setup" takes from a wider form so that its lists show their longest choice.
    int m_besoinReglages = 0;
    bool m_apercuEnAttente = false;
    // Changes posted by the panels are shown by one build once the events
    // queued with them have run: a burst of keys is one preview.
    void DemandeApercu();
    bool m_apercuDemande = false;
    MemoireApercu m_memoireApercu;
    // A change to the signature alone is composed off this thread; false
    // when the images shown are not ready for it.
    bool SoumetApercu();
    void MontreApercu(const ApercuParallele::Resultat& resultat);
    ApercuParallele m_parallele;
    // The signed picture handed to the "100 %" view, centred on the signature.
    void MontrePleineTaille();
    QPointer<VuePleineTaille> m_pleineTaille;
};
