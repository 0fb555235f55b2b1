// Every operation the windows call: displays (tables to widgets), captures (widgets to
// tables), index edits and the whole-mix commands. Grouped by the file that defines them.
#pragma once
#include <cstdint>

class Fl_File_Chooser;
class Fl_Value_Input;

// page.cpp: the fader page, tables to widgets.
void StageVolZodirUpdate();
void UpdateDisplayNumbers();
void UpdateNames();
void UpdateSolos();
void UpdateMutes();
void UpdateVolumes();
void UpdateOffset();
void UpdateRamp();
void UpdateShape();
void UpdatePan();
void UpdateChannelActive();
void UpdateMixName();

// capture.cpp: fader strips, widgets to tables.
void VolumeToArray();
void OffsetToArray();
void ChannelActiveToArray();
void SoloToArray();
void MuteToArray();
void RampToArray(int strip);
void ShapeToArray(int strip);
void PanToArray(int strip);

// index_edit.cpp: the time-index list.
void StoreTime();
void IndexActiveToArray();
void CueNameToArray();
void InsertIndex();
void RemoveIndex();
void Propagate();

// names.cpp: channel names from the faders window and the file chooser.
void StoreNames();
// chooser.cpp: opens a new file chooser (of an Fl_File_Chooser type) for browse button
// `browse`; once it closes with a confirmed choice, `apply` is called with it. Shared by the
// name and directory browse buttons; ChooserDone forgets a choice not yet applied.
void OpenChooser(int browse, int type, void (*apply)(Fl_File_Chooser*, void*));
void ChooserDone();
void ChooseFile(int field);
void Set_File(Fl_File_Chooser* chooser, void* data);

// effects_edit.cpp: slot choice, effects refresh, effect captures.
void ChangetoRegular();
void ChangetoGroup();
void ChangetoMaster();
void ChangeChannel();
void UpdateEffects();        // the effects refresh for slot CNL
void ShowEffectsName();      // the effects window shows the name of slot CNL
void UpdateEffectsWindows(); // step 1 of the full refresh: effects and reverb windows
void ComptoArray();
void RmstoArray();
void NlctoArray();
void LimtoArray();
void FXGtoArray();
void LshelftoArray();
void Band1toArray();
void Band2toArray();
void HshelftoArray();
void HpassToArray();
void ReverbToArray();
void TreverbToArray();

// routing.cpp: submix and VCA matrices.
void SubmixToArray();
void UpdateSubmix();
void VcaToArray();
void UpdateVCA();

// prefs_edit.cpp: preferences window.
void UpdatePreferences();
void PreviewOnSwitch();
void PreviewOffSwitch();
void PreviewToArray();
void XinToArray();
void XoutToArray();
void HeadTailToArray();
void Outbits16ToArray();
void Outbits24ToArray();
void MonoToArray();
void PanlawToArray();
void DitherToArray();
void StorePath();
void StoreWaveDir();
void StoreMixDir();
void StoreLaunch();
void StoreMixName();
void ApplyColour();  // the colour rule, from the bgcolor spinner
void ChooseDirectory(int target);
void Set_Directory(Fl_File_Chooser* chooser, void* data);

// commands.cpp: store, recall, mix, the full refresh, quit; installs the refresh hooks
// of the file readers.
void InstallRefreshHooks();
// Typing not yet entered in the focused field is taken as leaving the field would take it,
// so that what a command stores, asks about or acts on is what the screen shows.
void TakeTyping();
void StageWriteToFile();  // the Store and Recall menus, one file each
void StoreTracks();
void StorePrefs();
void StageReadFromFile();
void RecallTracks();
void RecallPrefs();
void SaveAll();
bool StoreAll();   // Store All; true when all three files were written
void RecallAll();
// Recall All's reading; true when "faders.txt" was read. A missing "faders.txt" is created
// with the mix-name line only when createFaders is set.
bool RecallMixFiles(bool createFaders = true);
// The recall of a mix named on the command line: Recall All, except that opening a mix
// writes nothing.
void RecallAtStart();
// Mix: stores the three files and starts the engine. An engine the mix directory provides
// (relative or inner engine directory) is first asked about.
void Mix();
// The question before such an engine (a dialog): 1 Run, 0 Cancel.
extern int (*EngineQuestion)(const char* program);
void UpdateGUI();
void ProgramExit();

// session.cpp: undo, redo, the unsaved-edits flag and the quit question.
// Where start-up ends: the tables as they are now start the history; a recovery kept for
// this directory is offered.
void StartSession();
// Records what the last user action changed as one edit; key and join_within as for
// RecordEdit (model/history.h).
void RecordAction(uintptr_t key, double join_within);
void Undo();
void Redo();
void MixStored();    // after a successful Store All: nothing unsaved
void MixRecalled();  // after a successful Recall All: one edit, nothing unsaved
// With unsaved edits, asks whether to store them first; false when the user cancels or
// the store failed.
bool MayQuit();
// The quit question (a dialog): 0 Cancel, 1 Store All and quit, 2 Quit without storing.
extern int (*QuitQuestion)();

// recovery.cpp: the copy of an unsaved mix kept in case the editor dies.
void MixChanged();       // a new state of the tables: keep this session's copy up to date
void DiscardRecovery();  // the mix was stored, or the unsaved edits given up
// Copies left by editors that died in this directory holding edits its files lack: asks,
// newest first, whether to recover one (recalled as an unsaved edit), discard it, or leave
// them for later. Copies the files already hold are removed; live editors' never touched.
void OfferRecovery();
// Recovers the copy kept in folder (the Recover answer of the offer); true when recovered.
bool RecoverCopy(const char* folder);

// page.cpp: the current page, worked out afresh from the Bank and TimeIndex spinners.
int PageBank();   // channel bank 1..12; the slot of each strip is StripSlot (strips.h)
int PageIndex();  // time index 0..511
// Shows a number in a value input, rewriting its text even when the value is unchanged.
void ShowValue(Fl_Value_Input* w, double v);
// The time fields show the time of an index.
void ShowIndexTime(int index);
