#include "sync/fdf_samples.h"

namespace fdfsamples {

std::string Object(const std::string& id, const std::string& text) {
    return id + " obj\n" + text + "\nendobj\n";
}

std::string File(const std::string& objects) {
    return "%FDF-1.2\n" + objects + "trailer\n<</Root 1 0 R>>\n%%EOF\n";
}

std::string AttachmentWithPopup(const std::string& fileBytes) {
    return File(
        Object("1 0", "<</FDF<</Annots[7 0 R 9 0 R 14 0 R 15 0 R]/F(review.pdf)>>>>") +
        Object("7 0",
               "<</Type/Annot/Subtype/FileAttachment/Rect[ 10 20 30 40]/T(Kim)"
               "/CreationDate(D:20261207093000+09'00')/NM(ANNOT-1)/FS<</Type/Filespec/F(a.txt)"
               "/EF<</F 12 0 R >>>>/Popup 9 0 R/Page 2>>") +
        Object("9 0",
               "<</Type/Annot/Subtype/Popup/Parent 7 0 R /Rect[ 0 0 5 5]/NM(POPUP-1)/Page 2>>") +
        Object("12 0", "<</Type/EmbeddedFile/Length " + std::to_string(fileBytes.size()) +
                           ">>stream\r\n" + fileBytes + "\r\nendstream") +
        Object("14 0", "<</Type/Annot/Subtype/Text/T(Lee)/NM(REPLY-1)/IRT(ANNOT-1)/Page 2>>") +
        Object("15 0", "<</Type/Annot/Subtype/Text/T(Park)/NM(NOTE-1)/Page 0>>"));
}

}  // namespace fdfsamples
