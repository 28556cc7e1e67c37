#include "FenetreRetouche.h"

#include "BitmapStatic.h"
#include "CRetoucheDlg.h"
#include "Interaction.h"
#include "Operations.h"

#include <QKeySequence>
#include <QMenuBar>
#include <QStatusBar>

namespace {

// The area the picture is shown in, in pixels.
constexpr CSize kVue(800, 600);

} // namespace

FenetreRetouche::FenetreRetouche(CGraphique& graphique, HBITMAP image, std::string resultat)
    : m_graphique(graphique), m_image(image), m_resultat(std::move(resultat)), m_vue(new BitmapStatic(nullptr, true))
{
    setWindowTitle(QStringLiteral("Quillon400 picture editing"));
    m_vue->setFixedSize(kVue.cx, kVue.cy);
    setCentralWidget(m_vue);

    QMenu* fichier = menuBar()->addMenu(QStringLiteral("&File"));
    fichier->addAction(QStringLiteral("&Save"), QKeySequence::Save, this, [this] { Sauve(); });
    fichier->addAction(QStringLiteral("&Quit"), QKeySequence::Quit, this, &QWidget::close);
    QMenu* retouche = menuBar()->addMenu(QStringLiteral("&Picture"));
    for (const Operation& operation : Operations())
        retouche->addAction(QString::fromUtf8(operation.libelle), this, [this, &operation] { Applique(operation); });
    Montre();
}

FenetreRetouche::~FenetreRetouche() { DeleteObject(m_image); }

void FenetreRetouche::Applique(const Operation& operation)
{
    HBITMAP resultat = nullptr;
    if (!operation.applique(this, m_graphique, m_image, resultat))
        return;
    if (!resultat) {
        MessageBox(this, "The operation could not be applied to this picture.", "Error", MB_OK | MB_ICONERROR);
        return;
    }
    DeleteObject(m_image);
    m_image = resultat;
    Montre();
}

int FenetreRetouche::Sauve()
{
    std::string chemin = m_resultat;
    if (chemin.empty()) {
        FileDialogRequest demande;
        demande.title = "Save the picture";
        demande.filter = "Jpeg (*.jpg)|*.jpg|Bitmap (*.bmp)|*.bmp|Gif (*.gif)|*.gif|Png (*.png)|*.png|WebP (*.webp)|*.webp||";
        demande.defaultExtension = "jpg";
        if (!Interaction::current().saveFile(this, demande, chemin))
            return 0;
    }
    if (!m_graphique.SauveImage(chemin, m_image, 90)) {
        MessageBox(this, "Unable to save " + chemin, "Error", MB_OK | MB_ICONERROR);
        return 0;
    }
    statusBar()->showMessage(QStringLiteral("Saved to %1").arg(QString::fromStdString(chemin)));
    return 1;
}

void FenetreRetouche::Montre()
{
    CSize taille;
    CGraphique::RecupereInfosImage(m_image, taille, nullptr);
    HBITMAP reduite = nullptr;
    const CSize vue = CRetoucheDlg::TailleAjustee(taille, kVue);
    if (vue != taille) {
        HDC dc = GetDC(this);
        reduite = CGraphique::RedimensionneImage(dc, m_image, vue, 0);
        ReleaseDC(this, dc);
    }
    m_vue->SetBitmap(reduite ? reduite : m_image);
    // The control keeps its own copy of the pixels.
    DeleteObject(reduite);
    statusBar()->showMessage(QStringLiteral("%1 x %2").arg(taille.cx).arg(taille.cy));
}
