#!/usr/bin/env bash
# Shows that the layout check catches a subset that drifts from Windows: on a
# copy of sdk/win32 the changes below must make Win32LayoutCheck.cpp fail to
# compile with a message naming each, and the unchanged copy must compile.
#
#   catches-changes.sh CXX SOURCE_DIR
set -euo pipefail
cxx=${1:?usage: catches-changes.sh CXX SOURCE_DIR}
source_dir=${2:?usage: catches-changes.sh CXX SOURCE_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Compiles the check against the subset in $work/sdk/win32; prints the
# compiler's messages.
compile() {
  cmake -DHEADERS="$work/sdk/win32" -DOUTPUT="$work/generated" -P "$source_dir/cmake/Win32LayoutLists.cmake"
  "$cxx" -std=c++20 -Wall -Wextra -Werror -DUNICODE -D_UNICODE -D_WIN32_WINNT=0x0601 \
    -I "$work" -I "$work/generated" -fsyntax-only "$source_dir/tests/win32-layout/Win32LayoutCheck.cpp" 2>&1
}

fresh_copy() {
  rm -rf "$work/sdk" "$work/generated"
  mkdir -p "$work/sdk"
  cp -r "$source_dir/sdk/win32" "$work/sdk/"
}

fresh_copy
if ! messages=$(compile); then
  echo "catches-changes: the unchanged subset fails the check:" >&2; head -5 <<<"$messages" >&2; exit 1
fi

# All changes go into one copy, as every comparison reports on its own.
failed=0
expected=()
# change DESCRIPTION FILE SED-EXPRESSION EXPECTED-MESSAGE
change() {
  local file="$work/sdk/win32/$2"
  cp "$file" "$work/before"
  sed -i -E "$3" "$file"
  if cmp -s "$file" "$work/before"; then
    echo "catches-changes: the change '$1' did not apply" >&2; failed=1
  fi
  expected+=("$1|$4")
}

change "a message number" WinUser.h 's/^#define WM_COMMAND 0x0111$/#define WM_COMMAND 0x0112/' \
  "constant WM_COMMAND differs from Windows"
change "a pointer constant" CommCtrl.h 's/^#define TVI_LAST .*/#define TVI_LAST ((HTREEITEM)(ULONG_PTR)-0x0FFFD)/' \
  "constant TVI_LAST differs from Windows"
change "a macro" WinTypes.h 's/^#define HIWORD\(l\) .*/#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 8) \& 0xffff))/' \
  "macro HIWORD differs from Windows"
change "the tree insertion without its extended item" CommCtrl.h '/^        TVITEMEXW itemex;$/d' \
  "size of TVINSERTSTRUCTW differs from Windows"
change "two fields in swapped order" WinUser.h '/^    int cy;$/{N;s/    int cy;\n    int cx;/    int cx;\n    int cy;/}' \
  "offset of CREATESTRUCTW::cy differs from Windows"
change "a field's type" WinGdi.h 's/^    WCHAR lfFaceName\[LF_FACESIZE\];$/    CHAR lfFaceName[LF_FACESIZE];/' \
  "type of LOGFONTW::lfFaceName differs from Windows"
change "a parameter's type" WinUser.h 's/^BOOL WINAPI SetDlgItemTextW\(HWND dialog, int id, LPCWSTR text\);$/BOOL WINAPI SetDlgItemTextW(HWND dialog, UINT id, LPCWSTR text);/' \
  "signature of SetDlgItemTextW differs from Windows"

if messages=$(compile); then
  echo "catches-changes: the check accepted the changed subset" >&2; exit 1
fi
for entry in "${expected[@]}"; do
  if grep -qF "${entry#*|}" <<<"$messages"; then
    echo "catches-changes: ${entry%%|*} -> ${entry#*|}"
  else
    echo "catches-changes: ${entry%%|*} went unnoticed (no '${entry#*|}')" >&2; failed=1
  fi
done
exit $failed
