#pragma once

#include "containers/marray.h"

#include <QDialog>
#include <QList>

class QGroupBox;
class QPushButton;
class QRadioButton;

// The language choice: one option per installed pack, labelled with the
// pack's own name. OK stores the choice as "LangChoice"; at the very first
// start the window cannot be closed without one.
class langPickForm : public QDialog {
    Q_OBJECT
public:
    explicit langPickForm(QWidget* parent = nullptr);

    // Every way of closing the window comes through here.
    void done(int result) override;

private:
    void LoadTexts();
    void BuildOptions();
    void PreSelect();
    QRadioButton* AddOption();
    void ApplyLayout();
    void StoreChoice();
    // At the very first start, closing without a choice ends the program.
    void RefuseCloseWithoutChoice();

    QGroupBox* langFrame_;
    QList<QRadioButton*> langOption_;
    QPushButton* okButton_;
    MArray langFiles_;
    // The option last selected; -1 once OK has stored the choice.
    int chosenIndex_ = 0;
};

// Builds a fresh choice window and shows it modally; true when OK stored a
// choice.
bool ShowLangPick(QWidget* parent);

// The language menu entry: lets the player choose until the choice names a
// usable pack file, then loads it. A pack that fails to load is reported and
// the language in force stays, also for the next start.
void LangMenuOption(QWidget* parent);
