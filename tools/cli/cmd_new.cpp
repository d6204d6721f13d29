// chanset-cli new OUT.dat
// Writes what saving a new document stores when no radio type has been
// remembered: the new image with radio type 0 and band 0, and the empty grid
// encoded into it (default flag bits, write-back marker).
#include "data/ChannelCodec.h"
#include "data/DatFile.h"
#include "tools/cli/CliCommand.h"

namespace cli {

namespace {
class EmptyGrid : public chanset::CellTexts {
 public:
  std::string Text(int, int) const override { return std::string(); }
};
}  // namespace

int RunNew(const Args& args) {
  if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-'))
    return Fail("usage: chanset-cli new OUT.dat");
  chanset::Image image = chanset::NewImage();
  image[chanset::off::kRadioType] = 0;
  image[chanset::off::kBand] = 0;
  chanset::EncodeChannels(EmptyGrid(), image);
  std::string reason;
  if (chanset::StoreDatFile(args[0], image, &reason) != chanset::DatError::None)
    return Fail("cannot write " + args[0] + ": " + reason);
  return 0;
}

}  // namespace cli
