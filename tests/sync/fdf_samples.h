// Small FDF texts in the layout the viewer control exports, for the sync tests.
#pragma once

#include <string>

namespace fdfsamples {

// An annotation (7 0) with its popup (9 0) and embedded file (12 0), a reply (14 0) and a
// note without popup (15 0), in the control's export layout.
std::string AttachmentWithPopup(const std::string& fileBytes = "hello");

// An object frame "n 0 obj\n<text>\nendobj\n".
std::string Object(const std::string& id, const std::string& text);
// "%FDF-1.2\n" + objects + trailer.
std::string File(const std::string& objects);

}  // namespace fdfsamples
