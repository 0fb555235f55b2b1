// Submix and VCA assignment: the matrix windows' buttons into SubAsn/VcaAsn and back.
// The two sides are twins, so one store and one display serve both, given the side's parts.
#include <cassert>

#include "model/status.h"
#include "logic/operations.h"
#include "model/numeric.h"
#include "model/tables.h"
#include "ui/widgets.h"

namespace {

constexpr int kMatrixBanks = 24;                    // 24 banks of 5 reach channel 120
constexpr int kMatrixRows = 5;                      // rows A..E
constexpr int kBankFlags = kMatrixRows * kGroups;  // 40 buttons, 40 consecutive flags

// The shown bank. The spinner's range and wrap keep it in 1..24; anything else is a fault
// of ours, and even then no row outside the table may be touched.
int MatrixBank(const Fl_Spinner* bank) {
  int b = TruncInt(bank->value());
  assert(b >= 1 && b <= kMatrixBanks);
  if (b < 1) return 1;
  if (b > kMatrixBanks) return kMatrixBanks;
  return b;
}

void ShowMatrix(const int32_t* asn, const Fl_Spinner* bank, Fl_Round_Button** const* buttons,
                Fl_Value_Output** const* numbers, Fl_Input** const* names) {
  int b = MatrixBank(bank);
  int first = (b - 1) * kMatrixRows + 1;
  for (int r = 0; r < kMatrixRows; ++r) {
    (*numbers[r])->value(first + r);
    (*names[r])->value(NameBuffer[first + r]);
  }
  const int32_t* flags = asn + (b - 1) * kBankFlags;
  for (int i = 0; i < kBankFlags; ++i) (*buttons[i])->value(flags[i] != 0);
}

// Rewrites the whole shown bank from its buttons, then derives the in-use flags from
// every row, since clearing one bank may empty a group assigned elsewhere.
void StoreMatrix(int32_t* asn, int32_t* on, const Fl_Spinner* bank,
                 Fl_Round_Button** const* buttons) {
  int32_t* flags = asn + (MatrixBank(bank) - 1) * kBankFlags;
  for (int i = 0; i < kBankFlags; ++i) flags[i] = (*buttons[i])->value() ? 1 : 0;
  for (int n = 0; n < kGroups; ++n) {
    on[n] = 0;
    for (int row = 0; row < kAsnRows; ++row) {
      if (asn[row * kGroups + n] != 0) {
        on[n] = 1;
        break;
      }
    }
  }
}

}  // namespace

void UpdateSubmix() { ShowMatrix(SubAsn, SubBank, subButtons, subCh, subText); }

void UpdateVCA() { ShowMatrix(VcaAsn, VcaBank, vcaButtons, vcaCh, vcaText); }

void SubmixToArray() {
  StoreMatrix(SubAsn, SubOn, SubBank, subButtons);
  UpdateSubmix();
  ClearStatus();
}

void VcaToArray() {
  StoreMatrix(VcaAsn, VcaOn, VcaBank, vcaButtons);
  UpdateVCA();
  ClearStatus();
}
