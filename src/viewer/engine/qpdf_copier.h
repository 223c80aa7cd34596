// QpdfCopier: copies values out of a document that qpdf has open into PdfObjects, leaving out
// what the document refers to by identity.
#pragma once
#include "viewer/engine/engine_names.h"

#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <cstddef>
#include <set>

#include "viewer/engine/pdf_object.h"

namespace quill::engine {

// A comment keeps what it says (colours, border, measure, file description) as a copy of its
// own. What the document refers to by identity, its pages, its annotations, the page tree and
// the catalog, never becomes a copy: the engine ties a comment to its page, popup and parent
// by structure, and a copy of any of them would drag the whole document along, once for every
// comment. Streams are not copied either. What is left out becomes null, and null values are
// left out of dictionaries.
//
// Every copy is bounded. References are followed to a depth of 32 and never round a cycle. The
// objects copied from behind references are counted per value and per document, so that a file
// made of shared objects (one object referred to twice by the next, and so on) cannot make the
// copies outgrow what the file holds: a value beyond its share is left out whole.
class QpdfCopier {
public:
    static constexpr int kMaxDepth = 32;
    static constexpr size_t kValueShare = size_t{1} << 16;
    static constexpr size_t kDocumentShare = size_t{1} << 21;

    explicit QpdfCopier(size_t valueShare = kValueShare, size_t documentShare = kDocumentShare)
        : valueShare_(valueShare), documentShare_(documentShare) {}

    // An object with identity (a page, an annotation): references to it are never followed.
    void KeepOut(QPDFObjGen object) { keptOut_.insert(object); }

    // A value as a dictionary holds it; null when it is itself a reference to an object with
    // identity.
    PdfObject Copy(QPDFObjectHandle value);
    // The contents of an object that has an identity of its own (a popup), without what it
    // refers to by identity in turn.
    PdfObject CopyObject(QPDFObjectHandle object);

    // Objects (numbers, names, arrays, dictionaries ...) copied so far, inside and behind
    // references: what opening a document costs.
    size_t Copied() const { return copied_; }

private:
    PdfObject Start(QPDFObjectHandle h, bool followIdentity);
    PdfObject Follow(QPDFObjectHandle h, int depth);
    PdfObject Convert(QPDFObjectHandle h, int depth, bool behindReference);
    bool HasIdentity(QPDFObjectHandle h) const;

    size_t valueShare_;
    size_t documentShare_;
    std::set<QPDFObjGen> keptOut_;
    std::set<QPDFObjGen> path_;  // the references being followed, to cut cycles
    size_t valueShareUsed_ = 0;
    size_t documentShareUsed_ = 0;
    bool overShare_ = false;
    size_t copied_ = 0;
};

}  // namespace quill::engine
