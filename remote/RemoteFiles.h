// What the skin forms need from files: skin pictures, the sound files and the hot
// codebases.
//
// Paths are handheld paths ("\Program Files\ArdelRemote\Skins\TV1_Back.gif"). The program
// hands the forms an implementation over the handheld's file system and its codebase and
// preference files; tests hand them one held in memory.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <string>

// An open codebase, read-only, for as long as the object lives.
class CodebaseReader {
  public:
    virtual ~CodebaseReader() = default;

    // The header name, "TV_Sony".
    virtual QString HeaderName() = 0;
    // Whether the codebase holds a record under the button name.
    virtual bool HasButton(const QString& name) = 0;
};

class RemoteFiles {
  public:
    virtual ~RemoteFiles() = default;

    // The bytes of a file; false when it is missing or cannot be read.
    virtual bool ReadFile(const QString& path, QByteArray& bytes) = 0;
    // The host path of a file that the sound output should play.
    virtual std::string PlayablePath(const QString& path) = 0;
    // Opens the codebase at `path`; null when the file is missing or is not a codebase.
    virtual std::unique_ptr<CodebaseReader> OpenCodebase(const QString& path) = 0;
};
