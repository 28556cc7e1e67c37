#pragma once
// File-dialog filters as the Parts write them: pairs "description|patterns"
// separated by "|" and ended by "||", patterns separated by ";". Cameras
// write ".JPG", so patterns match without regard to case.

#include <QStringList>

#include <string>

class FileFilter {
public:
    // Qt name filters, one per pair. Each shows its description alone and
    // carries its patterns with every letter as a [xX] class.
    static QStringList NameFilters(const std::string& filter);
};
