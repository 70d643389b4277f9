// The numbers callers pass to the dialog toolkit, by name. Style words belong
// to the class they are given to, so one value may mean different things for
// different classes.
#pragma once

// Visibility states (SetVisibility, GetVisibility, the visibility notification).
const int KelDlgHidden = 1;
const int KelDlgShown = 2;

// Attachment kinds of one side of a child in its father's grid of
// tabulations (SetHorizontalAttachment, SetVerticalAttachment).
const int KelDlgAttachNone = 0;  // the side is free: natural size, or the rectangle's
const int KelDlgAttachTab = 1;   // the side sits on the tabulation
const int KelDlgAttachSide =
    2;  // the side sits on the father's own side (the tabulation is ignored)
// The side sits on the tabulation, and the space just before that tabulation
// takes what the father has beyond its natural size: the child follows resizes.
const int KelDlgAttachStretch = 4;

// Style words.
// KelDlgScrollBar, KelDlgSlider: orientation (horizontal when neither is given).
const unsigned long KelDlgHorizontal = 0x20000;
const unsigned long KelDlgVertical = 0x40000;
// KelDlgContextualMenu: posted by mouse button 3 over its father and its
// father's descendants; without it the menu is posted only by Post().
const unsigned long KelDlgPopupOnButton3 = 0x20000;
// KelDlgDialog: its buttons (each sends its own notification; OK and Cancel
// then hide the dialog), and modality.
const unsigned long KelDlgOkButton = 0x1;
const unsigned long KelDlgApplyButton = 0x2;
const unsigned long KelDlgCancelButton = 0x4;
const unsigned long KelDlgModal = 0x8;
// KelDlgDialog: a window meant to be put full screen: no border, no margin,
// no button.
const unsigned long KelDlgFullScreenDialog = 16384;
// KelDlgDialog: a settings popup: modeless, with a single "Close" button that
// plays the Cancel role (Escape, the cancel notification, then hidden).
const unsigned long KelDlgSettingsPopup = 0x200000;
// KelDlgFrame: an etched border around the frame's children.
const unsigned long KelDlgFrameBorder = 0x1;
// KelDlgEditor: the text cannot be edited by the user.
const unsigned long KelDlgReadOnly = 0x1;

// Scroll bars of the viewers run over this range.
const int KelDlgScrollMinimum = 0;
const int KelDlgScrollMaximum = 1000;
