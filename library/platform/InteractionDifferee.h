#pragma once
// What the library reports on a worker thread, kept to be shown later on
// the GUI thread, where a run on one thread would have shown it: message
// boxes and beeps, in their order. Nobody answers on the worker: boxes get
// their first button, as SilentInteraction gives it, and choosers are
// cancelled.

#include "SilentInteraction.h"

#include <string>
#include <vector>

class InteractionDifferee : public SilentInteraction {
public:
    int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override;
    void beep(UINT type) override;

    // Shows what was kept through the calling thread's Interaction, each
    // box owned by the active window, then forgets it.
    void Rejoue();

    // While one lives, the calling thread reports to the given interaction.
    class Ecoute {
    public:
        explicit Ecoute(InteractionDifferee& interaction);
        ~Ecoute();
        Ecoute(const Ecoute&) = delete;
        Ecoute& operator=(const Ecoute&) = delete;

    private:
        Interaction* m_Precedente;
    };

private:
    struct Annonce {
        bool Bip;
        std::string Texte;
        std::string Titre;
        UINT Type;
    };
    std::vector<Annonce> m_Annonces;
};
