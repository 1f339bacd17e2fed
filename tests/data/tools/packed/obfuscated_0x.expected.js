function __result(){var _0x1b=['hello','\\','it\'s','say "hi"','中文','a\\nb','$&$1','\'','line\nbreak','\\\'"','😀','tab\tend','\r\n'];return JSON.stringify(_0x1b)+'\\'.length+'😀'.length}
