// Commands whose implementation arrives with their own files.
#include "browser/Unit1.h"

namespace velmora {

void TForm1::Image1Click() {}
void TForm1::LoadFormFileClick() {}
void TForm1::PasteFromCBoardClick() {}
void TForm1::DeleteFormDBClick() {}
void TForm1::CutToCBoardClick() {}
void TForm1::CopyToCBoardClick() {}
void TForm1::RenameClick() {}
void TForm1::SaveToFileClick() {}
void TForm1::FiltByNameClick() {}
void TForm1::ShowAllClick() {}
void TForm1::OpenPicDataFileClick() {}
void TForm1::NewPicFileClick() {}
void TForm1::SetToDesktopClick() {}

}  // namespace velmora
