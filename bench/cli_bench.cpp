// Times tamparo2-cli, as a user runs it, against the floor: libjpeg's own
// decode and encode of the same files in one process reusing its buffer.
// Twenty photographs at 12 MP and twenty at 2 MP are made here, with a
// template placing a text and a logo at the bottom right; signed at the
// template's quality, then with "--quality same" against the floor at the
// sources' quality; libvips on one thread signs them too when the bench was
// built with it. Then the peak memory of one worker on a 12 MP and a 100 MP
// picture.
//
// Usage: cli_bench [TAMPARO2_CLI [rounds]]; the program defaults (also for
// an empty argument) to the one built beside the bench.

#include "Banc.h"
#include "JeuSignature.h"
#include "Mesure.h"
#include "Photographie.h"
#include "PlancherJpeg.h"
#ifdef BANC_VIPS
#include "SignatureVips.h"
#endif

#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using namespace JeuSignature;

struct Execution {
    double ms = 0;
    long rssKo = 0;
    bool terminee = false; // exited, whatever its status
    bool reussie = false;  // exited with status 0
};

// One run of the program, timed from its start to its end, with its own
// peak memory.
Execution Lance(const std::string& programme, const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(programme.c_str()));
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    Execution e;
    const auto debut = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, programme.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return e;
    int statut = 0;
    rusage usage{};
    if (wait4(pid, &statut, 0, &usage) != pid)
        return e;
    e.ms = Millisecondes(debut);
    e.rssKo = usage.ru_maxrss;
    e.terminee = WIFEXITED(statut);
    e.reussie = e.terminee && WEXITSTATUS(statut) == 0;
    return e;
}

// A child's peak memory counts the pages its parent held when it was
// started, and this bench holds as much as the program it measures; GNU
// time, a process of a megabyte or two, starts it instead and reports.
constexpr const char* kTime = "/usr/bin/time";

// The set's first n pictures signed by n workers; n = 0: an empty folder,
// which the program refuses ("no picture found") once started.
struct Cli {
    std::string programme;
    std::string modele;
    std::string sortie;
    std::string vide;

    std::vector<std::string> Arguments(const std::vector<std::string>& fichiers, std::size_t n, int travailleurs,
                                       bool memeQualite = false) const
    {
        std::vector<std::string> a = {"-t", modele, "-o", sortie, "--overwrite", "always", "-q",
                                      "-j", std::to_string(travailleurs)};
        if (memeQualite)
            a.insert(a.end(), {"--quality", "same"});
        if (n == 0)
            a.push_back(vide);
        a.insert(a.end(), fichiers.begin(), fichiers.begin() + std::ptrdiff_t(n));
        return a;
    }

    Execution Signe(const std::vector<std::string>& fichiers, std::size_t n, int travailleurs,
                    bool memeQualite = false) const
    {
        return Lance(programme, Arguments(fichiers, n, travailleurs, memeQualite));
    }

    // One worker's peak; rssKo stays 0 when it cannot be measured.
    Execution Pic(const std::vector<std::string>& fichiers, std::size_t n, const std::string& rapport) const
    {
        std::vector<std::string> a = {"-f", "%M", "-o", rapport, programme};
        const std::vector<std::string> b = Arguments(fichiers, n, 1);
        a.insert(a.end(), b.begin(), b.end());
        Execution e = Lance(kTime, a);
        std::ifstream f(rapport);
        if (!(n == 0 ? e.terminee : e.reussie) || !(f >> e.rssKo))
            e.rssKo = 0;
        e.reussie = e.rssKo > 0;
        return e;
    }
};

double Taille(const std::string& chemin)
{
    std::ifstream f(chemin, std::ios::binary | std::ios::ate);
    return double(f.tellg());
}

std::string Charge()
{
    std::ifstream f("/proc/loadavg");
    std::string a, b, c;
    f >> a >> b >> c;
    return a + " " + b + " " + c;
}

// Per picture, each round's own figures; the medians are taken at the end.
struct Serie {
    std::vector<double> ms;     // with the start-up, time / pictures
    std::vector<double> marge;  // without: what one more picture adds
    std::vector<double> depart; // the fixed start-up
    std::vector<double> ratio;  // ms / the round's floor
    std::vector<double> ratioMarge;

    void Ajoute(double total, double petit, std::size_t n, std::size_t nPetit, double plancher)
    {
        const double m = (total - petit) / double(n - nPetit);
        ms.push_back(total / double(n));
        marge.push_back(m);
        depart.push_back(petit - double(nPetit) * m);
        ratio.push_back(total / double(n) / plancher);
        ratioMarge.push_back(m / plancher);
    }
};

void AfficheCli(const char* nom, const Serie& s, double but)
{
    const double r = Mediane(s.ratioMarge);
    std::printf("  %-26s %7.1f ms %5.2fx   with start-up %7.1f ms %5.2fx   start-up %5.1f ms   goal <= %.2fx: %s\n",
                nom, Mediane(s.marge), r, Mediane(s.ms), Mediane(s.ratio), Mediane(s.depart), but,
                r <= but ? "met" : "missed");
}

// Another program's signing of one picture, timed beside ours.
using Signataire = std::function<bool(const std::string& source, const std::string& cible)>;

int MesureJeu(const Jeu& jeu, const Cli& cli, const std::string& racine, int tours, const Signataire& vips)
{
    const std::size_t n = jeu.fichiers.size();
    int echecs = 0;
    PlancherJpeg plancher;
    std::vector<double> sol, solSource, demarrage;
    Serie j1, j2, m1, m2;
    std::vector<double> sv, rv;
    for (int tour = 0; tour <= tours; ++tour) { // round 0 warms caches and is not counted
        auto debut = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < n; ++i)
            echecs += !plancher.Passe(jeu.fichiers[i], racine + "plancher/" + std::to_string(i) + ".jpg", kQualite);
        const double p = Millisecondes(debut) / double(n);
        // "--quality same" is held to the floor at the sources' own quality.
        debut = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < n; ++i)
            echecs += !plancher.Passe(jeu.fichiers[i], racine + "plancher/" + std::to_string(i) + ".jpg",
                                      kQualiteSource);
        const double ps = Millisecondes(debut) / double(n);

        const Execution vide = cli.Signe(jeu.fichiers, 0, 1);
        echecs += !vide.terminee;
        Execution executions[2][4];
        for (const bool meme : {false, true}) {
            Execution* e = executions[meme];
            e[0] = cli.Signe(jeu.fichiers, 1, 1, meme);
            e[1] = cli.Signe(jeu.fichiers, n, 1, meme);
            e[2] = cli.Signe(jeu.fichiers, 2, 2, meme);
            e[3] = cli.Signe(jeu.fichiers, n, 2, meme);
            for (int i = 0; i < 4; ++i)
                echecs += !e[i].reussie;
        }
        double v = 0;
        if (vips) {
            debut = std::chrono::steady_clock::now();
            for (std::size_t i = 0; i < n; ++i)
                echecs += !vips(jeu.fichiers[i], racine + "vips/" + std::to_string(i) + ".jpg");
            v = Millisecondes(debut) / double(n);
        }
        if (tour == 0)
            continue;
        sol.push_back(p);
        solSource.push_back(ps);
        demarrage.push_back(vide.ms);
        j1.Ajoute(executions[0][1].ms, executions[0][0].ms, n, 1, p);
        j2.Ajoute(executions[0][3].ms, executions[0][2].ms, n, 2, p);
        m1.Ajoute(executions[1][1].ms, executions[1][0].ms, n, 1, ps);
        m2.Ajoute(executions[1][3].ms, executions[1][2].ms, n, 2, ps);
        if (vips) {
            sv.push_back(v);
            rv.push_back(v / p);
        }
    }
    double octets = 0;
    for (const std::string& f : jeu.fichiers)
        octets += Taille(f);
    std::printf("%s %dx%d, %zu pictures of %.1f MB on average; per picture, median of %d rounds, "
                "ratios to the round's floor:\n",
                jeu.nom, jeu.largeur, jeu.hauteur, n, octets / double(n) / 1e6, tours);
    std::printf("  %-26s %7.1f ms  1.00x\n", "floor (libjpeg, reused)", Mediane(sol));
    const bool douze = jeu.largeur * jeu.hauteur > 6'000'000;
    AfficheCli("tamparo2-cli -j 1", j1, douze ? 0.95 : 1.05);
    AfficheCli("tamparo2-cli -j 2", j2, 0.55);
    std::printf("  %-26s %7.1f ms  1.00x\n", "floor at the sources' quality", Mediane(solSource));
    AfficheCli("--quality same -j 1", m1, 0.55);
    AfficheCli("--quality same -j 2", m2, 0.40);
    if (vips)
        std::printf("  %-26s %7.1f ms %5.2fx\n", "libvips, one thread", Mediane(sv), Mediane(rv));
    std::printf("  a run with no picture: %.1f ms\n", Mediane(demarrage));
    return echecs;
}

} // namespace

int main(int argc, char** argv)
{
#ifdef CLI_PAR_DEFAUT
    std::string programme = CLI_PAR_DEFAUT;
#else
    std::string programme;
#endif
    if (argc > 1 && *argv[1])
        programme = argv[1];
    const int tours = Tours(argc, argv, 2, 5);
    if (programme.empty()) {
        std::fprintf(stderr, "usage: %s TAMPARO2_CLI [rounds]\n", argv[0]);
        return 2;
    }

    QTemporaryDir dossier;
    const std::string racine = dossier.path().toStdString() + "/";
    for (const char* d : {"plancher", "vips", "cli", "vide", "grand"})
        QDir().mkpath(QString::fromStdString(racine + d));
    const Cli cli{programme, racine + "modele.tp2", racine + "cli", racine + "vide"};
    // The logo's path relative to the template, as a user's template has it.
    ModeleSignature modele;
    std::vector<Jeu> jeux;
    if (!Modele(racine + "logo.jpg", "logo.jpg", modele) || !modele.SauveFichier(cli.modele)
        || !FaitPhotos(racine, jeux)) {
        std::fprintf(stderr, "cannot write the template or the photographs\n");
        return 1;
    }

    // Peak memory of one worker, beside that of a run with no picture.
    const std::string grand = racine + "grand/panorama.jpg";
    if (!Photographie(11547, 8660, 99).Ecrit(grand, kQualiteSource)) {
        std::fprintf(stderr, "cannot write the 100 MP picture\n");
        return 1;
    }
    const std::string rapport = racine + "pic.txt";
    const bool time = access(kTime, X_OK) == 0;
    const Execution vide = time ? cli.Pic({}, 0, rapport) : Execution{};
    const Execution douze = time ? cli.Pic(jeux[0].fichiers, 1, rapport) : Execution{};
    const Execution cent = time ? cli.Pic({grand}, 1, rapport) : Execution{};
    int echecs = time ? !vide.terminee + !douze.reussie + !cent.reussie : 0;

    Signataire vips;
#ifdef BANC_VIPS
    if (VIPS_INIT(argv[0]) != 0)
        return 1;
    vips_concurrency_set(1);
    // Each picture is read once: a cache would only hold memory.
    vips_cache_set_max(0);
    // 48 points at vips' 72 dpi: the template's 48-pixel text.
    const SignatureVips signature(racine + "logo.jpg", kTexte, "DejaVu Sans Bold 48");
    if (signature.Pret())
        vips = [&signature](const std::string& source, const std::string& cible) {
            return signature.Signe(source, cible, kQualite);
        };
#endif

    std::printf("%s, template quality %d (sources %d), load average %s\n", programme.c_str(), kQualite,
                kQualiteSource, Charge().c_str());
    if (time)
        std::printf("peak memory of tamparo2-cli -j 1 (max RSS): no picture %.1f MB, one 12 MP %.1f MB, "
                    "one 100 MP (11547x8660) %.1f MB\n",
                    double(vide.rssKo) / 1024, double(douze.rssKo) / 1024, double(cent.rssKo) / 1024);
    else
        std::printf("peak memory not measured: %s (Debian package \"time\") is missing\n", kTime);
    for (const Jeu& jeu : jeux)
        echecs += MesureJeu(jeu, cli, racine, tours, vips);

    std::printf("load average at the end %s\n", Charge().c_str());
    if (echecs)
        std::fprintf(stderr, "%d failed runs\n", echecs);
    return echecs ? 1 : 0;
}
