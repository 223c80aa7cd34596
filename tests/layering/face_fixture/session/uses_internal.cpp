// Fixture of the face check: another layer reaching into the engine's internals.
#include "viewer/engine/engine_control.h"
#include "viewer/engine/pdf_object_parser.h"

using namespace quill;
using namespace quill::engine;
