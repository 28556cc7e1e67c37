#pragma once
// The pattern tiles, each made for any size: every one repeats across its
// right edge onto its left and across its bottom onto its top without a seam.

#include <QImage>

namespace Motifs {

// Woods, stones and minerals
QImage PlancheBois(int largeur, int hauteur);
QImage Plancher(int largeur, int hauteur);
QImage MarbreBlanc(int largeur, int hauteur);
QImage MarbreVert(int largeur, int hauteur);
QImage MarbreRose(int largeur, int hauteur);
QImage Granit(int largeur, int hauteur);
QImage Paves(int largeur, int hauteur);
QImage Ardoise(int largeur, int hauteur);
QImage Gres(int largeur, int hauteur);
QImage Sable(int largeur, int hauteur);
QImage Liege(int largeur, int hauteur);

// Surfaces, skies and waters
QImage Parchemin(int largeur, int hauteur);
QImage Cuir(int largeur, int hauteur);
QImage Stuc(int largeur, int hauteur);
QImage Rouille(int largeur, int hauteur);
QImage AcierBrosse(int largeur, int hauteur);
QImage Ciel(int largeur, int hauteur);
QImage Eau(int largeur, int hauteur);
QImage Nebuleuse(int largeur, int hauteur);
QImage Camouflage(int largeur, int hauteur);
QImage Aquarelle(int largeur, int hauteur);
QImage Herbe(int largeur, int hauteur);

// Fabrics
QImage Lin(int largeur, int hauteur);
QImage Jean(int largeur, int hauteur);
QImage Tartan(int largeur, int hauteur);
QImage Vichy(int largeur, int hauteur);
QImage Vannerie(int largeur, int hauteur);
QImage Rayure(int largeur, int hauteur);
QImage Carbone(int largeur, int hauteur);
QImage PiedDePoule(int largeur, int hauteur);

// Geometric and ornamental
QImage Arlequin(int largeur, int hauteur);
QImage Pois(int largeur, int hauteur);
QImage SucreOrge(int largeur, int hauteur);
QImage Etoiles(int largeur, int hauteur);
QImage Vagues(int largeur, int hauteur);
QImage Chevrons(int largeur, int hauteur);
QImage ArcEnCiel(int largeur, int hauteur);
QImage Ondes(int largeur, int hauteur);
QImage Quadrillage(int largeur, int hauteur);
QImage Damier(int largeur, int hauteur);
QImage NidAbeille(int largeur, int hauteur);
QImage Ecailles(int largeur, int hauteur);
QImage Treillage(int largeur, int hauteur);
QImage Coeurs(int largeur, int hauteur);
QImage Mosaique(int largeur, int hauteur);
QImage Azulejo(int largeur, int hauteur);
QImage Parquet(int largeur, int hauteur);
QImage Briques(int largeur, int hauteur);
QImage Bambou(int largeur, int hauteur);
QImage Damas(int largeur, int hauteur);

} // namespace Motifs
