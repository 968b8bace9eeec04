// The page host: opens one of Tavrel.dll's pages against a simulated host, the way
// the real host application does, for a person (interactive) or for a user script
// (headless), and shows what the host received.
//
//   pagehost [options] <page> <host description> [<user script>]
//
//   <page>        TsDistributionDlg, CTsDistributionDlg, Kestrom.Tavrel.TsDistributionDlg
//                 (or the versioned ProgID) or the class id {9402C5E1-...}
//   --dll <path>  load this DLL without registration (default: Tavrel.dll beside
//                 pagehost.exe) and ask its DllGetClassObject for the class object
//   --registered  create the page through the registry (the DLL registered with
//                 regsvr32): the ProgID's class id, then CoGetClassObject
//   --list        the pages: coclass name, ProgID and class id
//
// The page names are the coclasses of the DLL's type library (TYPELIB 1), or of the
// registered type library with --registered. A ProgID is looked up in the registry
// with --registered, otherwise in the DLL's side-by-side manifest, which names both
// ProgIDs of every class.
//   --form        hand the objects with IFormControl::SetFormObjects and open the
//                 page with ShowForm instead of SetObjects and Activate
//
// Steps: load the host description (HostDescription.h) and the script (UserScript.h);
// load the DLL and read its page names; get the class object and create the page; SetObjects with the
// objects the description names; Activate. Without a script the dialog waits for a
// person; with one, the script's actions run inside the dialog's modal loop. Then
// the page is released and the report printed: the calls the host received (its
// journal), the lines the page logged (IHostLogger), and whether every reference the
// page took came back and the module can unload (a warning line if not).
//
// Exit status: 0 done; 1 bad input or setup (unknown page or option, a host
// description or script that cannot be read or is malformed, a DLL that cannot be
// loaded, has no DllGetClassObject or lacks the class, a page that cannot be created
// or refuses its objects); 2 the script failed (an action could not be done, an
// expectation failed, or the script ended with the dialog open).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tavrel::pagehost {

constexpr int kExitDone = 0;
constexpr int kExitBadInput = 1;
constexpr int kExitScriptFailed = 2;

// Runs the page host with these arguments (without the program name). The report goes
// to out, error messages to err, both UTF-8. Call it on a thread without COM or with a
// single-threaded apartment; it initialises COM and the common controls itself.
int RunPageHost(const std::vector<std::wstring>& arguments, std::ostream& out, std::ostream& err);

}  // namespace tavrel::pagehost
