// ImageList click: the thumbnail of the selected row (its address stands in SourceList at the
// same row) is downloaded and shown in the picture box.
#include "crawler/control_names.h"
#include "crawler/crawler.h"
#include "http/object_web_request.h"

namespace lumeno {

void Crawler::PreviewImage() {
    const int row = window_.CurrentRow(controls::ImageList);
    const Text address = window_.ListCellText(controls::SourceList, row);
    const ByteSet bytes = ObjectWebRequest(address);
    window_.SetPicture(controls::图片框1, bytes);
}

}  // namespace lumeno
