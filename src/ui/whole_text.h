#pragma once

#include <string>

class QLineEdit;
class QString;

namespace ui {

// Sets a text box's text whole and puts the cursor at its start, so a long
// name shows its beginning. A box's maximum length limits what the user
// types, not what the program writes: a longer text raises the limit to its
// own length, and the user's edits bring the limit back down as the text
// shrinks, never below the box's own limit.
void SetWholeText(QLineEdit* box, const QString& text);
void SetWholeText(QLineEdit* box, const std::string& text);

}  // namespace ui
