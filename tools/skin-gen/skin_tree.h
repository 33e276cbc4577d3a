#pragma once

#include <QString>

namespace skingen {

class CjkFont;

// Writes every file the client loads at run time below the hall folder; returns the count.
int writeHallTree(const QString& hallDir, const CjkFont& font);

// Writes the pictures compiled into the client, as PNG files, into dir; returns the count.
int writeBuiltinPictures(const QString& dir, const CjkFont& font);

}  // namespace skingen
