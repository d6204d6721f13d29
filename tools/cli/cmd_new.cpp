// chanset-cli new OUT.dat
// Writes what saving a new document stores when no radio type has been
// remembered: the new image with radio type 0 and band 0, and the empty grid
// encoded into it (default flag bits, write-back marker).
#include "data/ChannelCodec.h"
#include "tools/cli/CliCommand.h"

namespace cli {

namespace {
class EmptyGrid : public chanset::CellTexts {
 public:
  std::string Text(int, int) const override { return std::string(); }
};
}  // namespace

int RunNew(const Args& arguments) {
  Args args = arguments;
  if (!Operands(args) || args.size() != 1) return Fail("usage: chanset-cli new OUT.dat");
  chanset::Image image = chanset::NewImage();
  image[chanset::off::kRadioType] = 0;
  image[chanset::off::kBand] = 0;
  chanset::EncodeChannels(EmptyGrid(), image);
  return StoreForCommand(args[0], image) ? 0 : 1;
}

}  // namespace cli
