// The page's state, in one place: what the views draw from and the
// actions change. Files themselves are the workspace's (workspace.js).
export const page = {
  reports: new Map(), // name -> the inspector's JSON entry of the file shown by that name
  catalogue: null, // the inspector's digest of crc.ini; null when there is none
  chosen: [], // the ROM files to run, in the order checked
  record: null, // the last run of the tool, kept across visits
  lost: null, // a run that did not finish, as its marker was left: { command, at }
  elsewhere: null, // a run under way in another tab: { command, at }
  kept: true, // whether this browser keeps the workspace at all
  running: false,
  comparison: null, // the last comparison: { expected, found, banks }
  report: null, // the JSON of the last report shown: { name, bytes }
};
