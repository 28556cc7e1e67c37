#pragma once
// Ids of the workbench form's controls, for the files that make up the view.

constexpr int kAffichage = 1200;
constexpr int kCadreAffichage = 1203;
constexpr int kListe = 1300;
constexpr int kCadreListe = 1301;
constexpr int kCadreSignature = 1400;
constexpr int kCadrePanneaux = 1401;
constexpr int kCadreReglages = 1500;
constexpr int kRepertoireAucun = 1501;
constexpr int kNomFichierAucun = 1502;
constexpr int kNomFichierPrefixe = 1503;
constexpr int kNomFichierSuffixe = 1504;
constexpr int kNomFichier = 1505;
constexpr int kQualite = 1506;
constexpr int kQualiteSpin = 1507;
constexpr int kRepertoireSpecifique = 1508;
constexpr int kChoixRepertoire = 1509;
constexpr int kRepertoire = 1510;
constexpr int kMetadonnees = 1511;
constexpr int kFormatSortie = 1512;
constexpr int kQualiteOrigine = 1513;
constexpr int kRedimension = 1520;
constexpr int kRedimensionValeur = 1521;
constexpr int kRedimensionUnite = 1522;
constexpr int kCompteur = 1700;
