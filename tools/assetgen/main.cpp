// Writes the program's pictures and sounds: the files it opens by name into
// its folder, and the pictures compiled into it into a resource folder.
#include <cstdio>
#include <exception>
#include <string>

#include "FileWriters.h"
#include "Pictures.h"
#include "Sounds.h"

int main(int argc, char** argv) {
  using namespace assetgen;
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <program folder> <resource folder>\n", argv[0]);
    return 2;
  }
  const std::string bin = std::string(argv[1]) + "/";
  const std::string res = std::string(argv[2]) + "/";
  try {
    WriteBytes(bin + "ok.bmp", EncodeBmp(RemovedTile()));
    WriteBytes(bin + "nok.bmp", EncodeBmp(CancelledTile()));
    const struct {
      const char* word;
      const char* file;
    } faces[] = {{"New", "newgame"}, {"Gallery", "gallery"}, {"Rules", "rules"}, {"Exit", "exit"}};
    for (const auto& face : faces) {
      WriteBytes(bin + face.file + ".bmp", EncodeBmp(ToolbarFace(face.word, false)));
      WriteBytes(bin + "d" + face.file + ".bmp", EncodeBmp(ToolbarFace(face.word, true)));
    }
    WriteBytes(bin + "acerto.wav", EncodeWav(MatchChime(), kSampleRate));
    WriteBytes(bin + "erro.wav", EncodeWav(WrongBuzz(), kSampleRate));
    WriteBytes(bin + "fim.wav", EncodeWav(ClosingArpeggio(), kSampleRate));

    WriteBytes(res + "band.png", EncodePng(BottomBand()));
    WriteBytes(res + "ok-glyph.png", EncodePng(OkGlyph()));
    WriteBytes(res + "reset-glyph.png", EncodePng(ResetGlyph()));
    WriteBytes(res + "quillmont.png", EncodePng(ApplicationIcon(64)));
    WriteBytes(res + "quillmont-256.png", EncodePng(ApplicationIcon(256)));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "assetgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
