#pragma once
// The program's own resources (string tables, icons, the sample) made known
// to the library's resource layer: the desktop and the command line both
// read their messages from them.

class RessourcesProgramme {
public:
    // Once per process; later calls do nothing.
    static void Enregistre();
};
