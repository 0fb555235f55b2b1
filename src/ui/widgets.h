// Every global widget pointer of the windows, and arrays over the repeated ones.
// Builders fill the pointers; the operations read and write the widgets through them.
#pragma once

#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Spinner.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Output.H>
#include <FL/Fl_Value_Slider.H>

// Windows
extern Fl_Double_Window *ControlWindow, *FadersWindow, *EffectsWindow, *ReverbWindow, *PrefsWindow,
    *SubWindow, *VCAWindow;
extern Fl_Double_Window* TimelineWindow;  // the picture of the current bank's automation
extern Fl_Double_Window* ProblemsWindow;  // the last recall's problems, in ProblemsList
class Fl_Browser;
extern Fl_Browser* ProblemsList;
// Control window: the status line
extern Fl_Output *TextResponse;
// Faders window header
extern Fl_Input *MixNameInput, *CueName;
extern Fl_Button *MixButton3, *IndexActive;
extern Fl_Spinner *TimeIndex, *Bank;
extern Fl_Value_Input *GuiMin, *GuiSec, *GuiMsec;
// Faders window strips
extern Fl_Button *solo1, *solo2, *solo3, *solo4, *solo5, *solo6, *solo7, *solo8, *solo9, *solo10,
    *solo11, *solo12;
extern Fl_Button *mute1, *mute2, *mute3, *mute4, *mute5, *mute6, *mute7, *mute8, *mute9, *mute10,
    *mute11, *mute12;
extern Fl_Value_Output *DispNum1, *DispNum2, *DispNum3, *DispNum4, *DispNum5, *DispNum6, *DispNum7,
    *DispNum8, *DispNum9, *DispNum10, *DispNum11, *DispNum12;
extern Fl_Input *name1, *name2, *name3, *name4, *name5, *name6, *name7, *name8, *name9, *name10,
    *name11, *name12;
extern Fl_Output *name13;
extern Fl_Button *browse1, *browse2, *browse3, *browse4, *browse5, *browse6, *browse7, *browse8,
    *browse9, *browse10;
extern Fl_Button *A1, *A2, *A3, *A4, *A5, *A6, *A7, *A8, *A9, *A10, *A11, *A12, *A13;
extern Fl_Spinner *vol1, *vol2, *vol3, *vol4, *vol5, *vol6, *vol7, *vol8, *vol9, *vol10, *vol11,
    *vol12, *vol13;
extern Fl_Value_Input *ofs1, *ofs2, *ofs3, *ofs4, *ofs5, *ofs6, *ofs7, *ofs8, *ofs9, *ofs10,
    *ofs11, *ofs12, *ofs13;
extern Fl_Value_Input *ramp1, *ramp2, *ramp3, *ramp4, *ramp5, *ramp6, *ramp7, *ramp8, *ramp9,
    *ramp10, *ramp11, *ramp12, *ramp13;
extern Fl_Value_Input *shape1, *shape2, *shape3, *shape4, *shape5, *shape6, *shape7, *shape8,
    *shape9, *shape10, *shape11, *shape12, *shape13;
extern Fl_Value_Input *pan1, *pan2, *pan3, *pan4, *pan5, *pan6, *pan7, *pan8, *pan9, *pan10,
    *pan11, *pan12, *pan13;
// Effects window
extern Fl_Round_Button *SelectRegularChannel, *SelectGroupChannel, *SelectMasterChannel;
extern Fl_Spinner *RegularNum, *GroupNum;
extern Fl_Output *NameInEffects;
extern Fl_Button *comp0, *rms0, *nlc0, *lim0, *lshelf0, *band1_0, *band2_0, *hshelf0, *hpass0,
    *fxg0, *rev_state, *trev_state;
extern Fl_Value_Slider *comp1, *comp2, *comp3, *comp4, *rms1, *rms2, *rms3, *rms4, *nlc1, *nlc2,
    *nlc3, *lim1, *lshelf1, *lshelf2, *lshelf3, *band1_1, *band1_2, *band1_3, *band2_1, *band2_2,
    *band2_3, *hshelf1, *hshelf2, *hshelf3, *hpass1, *fxg1, *rev_send, *trev_send;
// Reverb window
extern Fl_Button *Rev_HP0, *Rev_LP0;
extern Fl_Value_Slider *Rev_HP1, *Rev_LP1, *rev_width, *rev_positionX, *rev_positionY,
    *rev_positionZ, *rev_rtn, *rev_size, *trev_rtn, *trev_size, *trev_taps;
// Preferences window
extern Fl_Round_Button *PreOn, *PreOff, *outbits16button, *outbits24button, *monobutton;
extern Fl_Value_Input *Preview_Min, *Preview_Length, *Preview_Sec, *Preview_Msec, *Xin_Min,
    *Xin_Sec, *Xin_Msec, *Xout_Min, *Xout_Sec, *Xout_Msec, *head, *tail, *panlaw;
extern Fl_Button *MixButton, *browseD1, *browseD2, *browseD3;
extern Fl_Input *PathDisplay, *WavDirDisplay, *MixDirDisplay, *LaunchDisplay;
extern Fl_Spinner *dither, *bgcolor;
// Submix matrix window
extern Fl_Round_Button *sub_button_A1, *sub_button_A2, *sub_button_A3, *sub_button_A4,
    *sub_button_A5, *sub_button_A6, *sub_button_A7, *sub_button_A8, *sub_button_B1, *sub_button_B2,
    *sub_button_B3, *sub_button_B4, *sub_button_B5, *sub_button_B6, *sub_button_B7, *sub_button_B8,
    *sub_button_C1, *sub_button_C2, *sub_button_C3, *sub_button_C4, *sub_button_C5, *sub_button_C6,
    *sub_button_C7, *sub_button_C8, *sub_button_D1, *sub_button_D2, *sub_button_D3, *sub_button_D4,
    *sub_button_D5, *sub_button_D6, *sub_button_D7, *sub_button_D8, *sub_button_E1, *sub_button_E2,
    *sub_button_E3, *sub_button_E4, *sub_button_E5, *sub_button_E6, *sub_button_E7, *sub_button_E8;
extern Fl_Value_Output *sub_ch_A, *sub_ch_B, *sub_ch_C, *sub_ch_D, *sub_ch_E;
extern Fl_Input *sub_text_A, *sub_text_B, *sub_text_C, *sub_text_D, *sub_text_E;
extern Fl_Spinner *SubBank;
// VCA matrix window
extern Fl_Round_Button *vca_button_A1, *vca_button_A2, *vca_button_A3, *vca_button_A4,
    *vca_button_A5, *vca_button_A6, *vca_button_A7, *vca_button_A8, *vca_button_B1, *vca_button_B2,
    *vca_button_B3, *vca_button_B4, *vca_button_B5, *vca_button_B6, *vca_button_B7, *vca_button_B8,
    *vca_button_C1, *vca_button_C2, *vca_button_C3, *vca_button_C4, *vca_button_C5, *vca_button_C6,
    *vca_button_C7, *vca_button_C8, *vca_button_D1, *vca_button_D2, *vca_button_D3, *vca_button_D4,
    *vca_button_D5, *vca_button_D6, *vca_button_D7, *vca_button_D8, *vca_button_E1, *vca_button_E2,
    *vca_button_E3, *vca_button_E4, *vca_button_E5, *vca_button_E6, *vca_button_E7, *vca_button_E8;
extern Fl_Value_Output *vca_ch_A, *vca_ch_B, *vca_ch_C, *vca_ch_D, *vca_ch_E;
extern Fl_Input *vca_text_A, *vca_text_B, *vca_text_C, *vca_text_D, *vca_text_E;
extern Fl_Spinner *VcaBank;

constexpr int kStripCount = 13;
// Strip arrays are indexed by strip number 1..13 (element 0 unused, and absent strips null).
// Matrix arrays are indexed 0..39 for buttons (A1..A8, B1..B8, ..) and 0..4 for rows.
extern Fl_Button** const soloStrip[kStripCount + 1];
extern Fl_Button** const muteStrip[kStripCount + 1];
extern Fl_Value_Output** const dispNumStrip[kStripCount + 1];
extern Fl_Input** const nameStrip[kStripCount + 1];
extern Fl_Button** const browseStrip[kStripCount + 1];
extern Fl_Button** const autoStrip[kStripCount + 1];
extern Fl_Spinner** const volStrip[kStripCount + 1];
extern Fl_Value_Input** const ofsStrip[kStripCount + 1];
extern Fl_Value_Input** const rampStrip[kStripCount + 1];
extern Fl_Value_Input** const shapeStrip[kStripCount + 1];
extern Fl_Value_Input** const panStrip[kStripCount + 1];
extern Fl_Round_Button** const subButtons[40];
extern Fl_Value_Output** const subCh[5];
extern Fl_Input** const subText[5];
extern Fl_Round_Button** const vcaButtons[40];
extern Fl_Value_Output** const vcaCh[5];
extern Fl_Input** const vcaText[5];

extern Fl_File_Chooser *CH;  // the most recently opened file chooser
