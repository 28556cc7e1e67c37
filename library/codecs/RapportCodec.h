#pragma once
// What one decoding or encoding has to tell the user, in the order it came,
// kept as data: a codec shows nothing itself, whatever thread it runs on,
// and only the public entry points turn the report into message boxes.

#include "Interaction.h"

#include <string>
#include <string_view>
#include <vector>

class RapportCodec {
public:
    // The box a message is shown in.
    enum class Boite {
        Libre,         // MessageBox without an owner, under Titre
        FenetreActive, // MessageBox owned by the active window, under Titre
        Application,   // AfxMessageBox: owned by the active window, under the application's name
    };
    struct Message {
        std::string Texte;
        std::string Titre; // empty for Boite::Application
        UINT Type;         // MB_* buttons and icon
        Boite Forme;
        bool operator==(const Message&) const = default;
    };

    // Never throws: the codecs record from inside the JPEG library's frames,
    // and a message that finds no memory is dropped rather than unwinding there.
    void Ajoute(std::string_view texte, std::string_view titre, UINT type, Boite forme) noexcept;
    // Appends autre's messages after these and empties it; takes its
    // damage when none was noted here.
    void Reprend(RapportCodec& autre) noexcept;
    const std::vector<Message>& Messages() const { return m_Messages; }
    // Shows every message in order through the calling thread's Interaction,
    // then forgets them. A damage stays noted: showing it mends nothing.
    void Affiche();

    // The decoder's words for the first damage it patched over (data cut
    // short or corrupt) in the picture read; empty for a whole picture.
    const std::string& Endommage() const { return m_Dommage; }
    void NoteDommage(std::string_view texte) noexcept;
    // Whether a decoder that meets damage gives the picture up rather than
    // patch over it, so that nothing is written from it. Off by default.
    bool RefuseDommage() const { return m_RefuseDommage; }
    void RefuseDommage(bool oui) { m_RefuseDommage = oui; }
    // Runs operation with a report of its own, shows that report and gives
    // back operation's result: the shape of every entry point that speaks.
    template <class Operation>
    static auto AfficheApres(Operation&& operation)
    {
        RapportCodec rapport;
        auto resultat = operation(rapport);
        rapport.Affiche();
        return resultat;
    }

private:
    std::vector<Message> m_Messages;
    std::string m_Dommage;
    bool m_RefuseDommage = false;
};
