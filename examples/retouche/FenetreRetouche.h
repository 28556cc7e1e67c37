#pragma once
// The example's only window: the picture shown reduced to fit, a "Picture"
// menu with one entry per editing dialog, and "Save" to write the result.

#include "CGraphique.h"

#include <QMainWindow>

#include <string>

class BitmapStatic;
struct Operation;

class FenetreRetouche : public QMainWindow {
    Q_OBJECT

public:
    // Takes image. resultat: where "Save" writes; empty asks for a name.
    FenetreRetouche(CGraphique& graphique, HBITMAP image, std::string resultat);
    ~FenetreRetouche() override;

    HBITMAP Image() const { return m_image; }
    // Runs one operation on the picture and keeps its result.
    void Applique(const Operation& operation);
    // 1 when the picture was written.
    int Sauve();

private:
    void Montre();

    CGraphique& m_graphique;
    HBITMAP m_image;
    std::string m_resultat;
    BitmapStatic* m_vue;
};
