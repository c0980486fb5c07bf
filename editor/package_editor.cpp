// Placeholder until the editor is built.
#include "editor/package_editor.h"

bool OpenPackageEditor(bool)
{
    return false;
}
