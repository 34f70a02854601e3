// The player's saved folder (the scores and the preferences) in the browser's
// IndexedDB, in the records emscripten's IDBFS has always written there, so
// scores kept by earlier builds of the page are found again.
//
// The folder lives in memory while the game runs. Each save stores it in one
// read-write transaction that first reads the stored copy and merges: the
// scores another tab appended stay, and a preference stays as stored unless
// this tab changed it since it last saw the stored folder. IndexedDB runs
// such transactions of two tabs one after the other, so neither writes over
// the other's save.
//
// A save the browser refuses is told on the page at once, naming what was
// lost. After the storage has said it is full, the folder cannot be written
// at all until there is room again: the game then narrates its save as
// failed, rather than as a success the browser will not keep.
(function () {
  const kStore = 'FILE_DATA';
  const kVersion = 21; // IDBFS's
  const kScoreFile = 'scores.bin';
  const kPreferencesFile = 'preferences.txt';
  let folder = null; // '/Assets/bin' once loaded; null while the folder is only in memory
  let seen = {}; // file name -> bytes, as stored when this tab last read or wrote them
  let full = false; // the storage said it is full, and has not yet shown room again
  let channel = null;

  function tell(text) {
    if (Module.storageNote) {
      Module.storageNote(text);
    }
  }

  function open(onOpen, onFail) {
    let request;
    try {
      request = indexedDB.open(folder, kVersion);
    } catch (error) {
      onFail(error);
      return;
    }
    let fresh = false;
    request.onupgradeneeded = function (event) {
      fresh = event.oldVersion === 0;
      const db = request.result;
      if (!db.objectStoreNames.contains(kStore)) {
        db.createObjectStore(kStore).createIndex('timestamp', 'timestamp', { unique: false });
      }
    };
    request.onsuccess = function () {
      onOpen(request.result, fresh);
    };
    request.onerror = function () {
      onFail(request.error);
    };
    request.onblocked = function () {
      onFail(new Error('another tab holds the storage open'));
    };
  }

  function memoryFiles() {
    const files = {};
    for (const name of FS.readdir(folder)) {
      const path = folder + '/' + name;
      // The game's half-written copies (name.<process>.new) are no one's file.
      if (FS.isFile(FS.stat(path).mode) && !name.endsWith('.new')) {
        files[name] = FS.readFile(path);
      }
    }
    return files;
  }

  function equal(a, b) {
    return a && b && a.length === b.length && a.every(function (byte, i) { return byte === b[i]; });
  }

  function concat(a, b) {
    const out = new Uint8Array(a.length + b.length);
    out.set(a);
    out.set(b, a.length);
    return out;
  }

  function text(bytes) {
    return bytes ? new TextDecoder().decode(bytes) : '';
  }

  function choices(bytes) {
    const map = new Map();
    for (const line of text(bytes).split('\n')) {
      const words = line.trim().split(/\s+/);
      if (words.length === 2) {
        map.set(words[0], words[1]);
      }
    }
    return map;
  }

  // What one file becomes when this tab's copy meets the stored one.
  function merge(name, mine, before, stored) {
    if (equal(mine, before) || !mine) {
      return stored || mine;
    }
    if (name === kScoreFile) {
      // Scores are only ever appended: the records this tab added since it
      // last saw the file go after whatever the file holds now.
      const added = before && mine.length >= before.length ? mine.subarray(before.length) : mine;
      return stored ? concat(stored, added) : mine;
    }
    if (name === kPreferencesFile && stored) {
      const now = choices(mine);
      const was = choices(before);
      const kept = choices(stored);
      now.forEach(function (value, key) {
        if (was.get(key) !== value) {
          kept.set(key, value);
        }
      });
      let lines = '';
      for (const key of ['sound', 'fullscreen']) {
        if (kept.has(key)) {
          lines += key + ' ' + kept.get(key) + '\n';
        }
      }
      return new TextEncoder().encode(lines);
    }
    return mine;
  }

  // What a save held, in the player's words.
  function describe(name, mine, before) {
    if (name === kScoreFile) {
      const added = mine.subarray(before && mine.length >= before.length ? before.length : 0);
      const scores = [];
      for (let at = 0; at + 4 <= added.length; at += 4) {
        scores.push(new DataView(added.buffer, added.byteOffset + at, 4).getInt32(0, true));
      }
      return scores.length === 1 ? 'the score ' + scores[0] : 'the scores ' + scores.join(', ');
    }
    if (name === kPreferencesFile) {
      const was = choices(before);
      const changed = [];
      choices(mine).forEach(function (value, key) {
        if (was.get(key) !== value) {
          changed.push(key + ' ' + value);
        }
      });
      return 'the choice ' + changed.join(', ');
    }
    return name;
  }

  function why(error) {
    if (error && error.name === 'QuotaExceededError') {
      return 'the browser\'s storage for this page is full';
    }
    return 'the browser refused to store it (' + ((error && (error.message || error.name)) ||
      'no reason given') + ')';
  }

  // Stores the folder as merged with the stored copy; `quiet` for a look at
  // another tab's save, which has nothing of its own to tell.
  function save(quiet) {
    if (!folder) {
      return;
    }
    const mine = memoryFiles();
    const before = seen;
    // A lock file is the game's own bookkeeping, no save of the player's.
    const lost = Object.keys(mine)
      .filter(function (name) { return !name.endsWith('.lock') && !equal(mine[name], before[name]); })
      .map(function (name) { return describe(name, mine[name], before[name]); });
    open(function (db, fresh) {
      let transaction;
      try {
        transaction = db.transaction([kStore], 'readwrite');
      } catch (error) {
        db.close();
        refused(lost, error);
        return;
      }
      const store = transaction.objectStore(kStore);
      const result = {};
      let wrote = false;
      const names = new Set(Object.keys(mine));
      const range = IDBKeyRange.bound(folder + '/', folder + '/\uffff');
      const keys = store.getAllKeys(range);
      const values = store.getAll(range);
      values.onsuccess = function () {
        const byName = {};
        keys.result.forEach(function (key, i) {
          if (values.result[i].contents) {
            byName[key.slice(folder.length + 1)] = new Uint8Array(values.result[i].contents);
          }
        });
        for (const name of Object.keys(byName)) {
          names.add(name);
        }
        // Storage cleared while the game ran: the page's own copy is all
        // that is left of the folder, and is stored again whole.
        const cleared = fresh && Object.keys(before).length > 0;
        for (const name of names) {
          const merged = cleared ? mine[name] : merge(name, mine[name], before[name], byName[name]);
          result[name] = merged;
          if (!equal(merged, byName[name])) {
            store.put({ timestamp: new Date(), mode: 33206, contents: merged }, folder + '/' + name);
            wrote = true;
          }
        }
        if (cleared) {
          tell('The browser\'s storage was cleared while the game ran: the scores and ' +
            'choices this page holds are stored again.');
        }
      };
      transaction.oncomplete = function () {
        db.close();
        full = false;
        seen = result;
        // This tab now holds what the other tab stored too.
        for (const name of Object.keys(result)) {
          const now = memoryFilesOne(name);
          const untouched = now ? equal(now, mine[name]) : !mine[name];
          if (untouched && result[name] && !equal(result[name], mine[name])) {
            FS.writeFile(folder + '/' + name, result[name]);
          }
        }
        if (wrote && channel) {
          channel.postMessage('stored');
        }
      };
      transaction.onabort = function () {
        db.close();
        if (!quiet || lost.length) {
          refused(lost, transaction.error);
        }
      };
    }, function (error) {
      if (!quiet || lost.length) {
        refused(lost, error);
      }
    });
  }

  function memoryFilesOne(name) {
    try {
      return FS.readFile(folder + '/' + name);
    } catch (error) {
      return null;
    }
  }

  function refused(lost, error) {
    if (error && error.name === 'QuotaExceededError') {
      full = true;
    }
    tell('not kept: ' + (lost.length ? lost.join('; ') : 'a save') + ' (' + why(error) + ').');
  }

  // While the storage is full, the folder opens for reading only: the game's
  // save fails where it is made, and the page says so at once. Each refused
  // save asks the browser again whether there is room.
  function guardFolder() {
    const open = FS.open;
    FS.open = function (path, flags, mode, fdStart, fdEnd) {
      const bits = typeof flags === 'string' ? FS.modeStringToFlags(flags) : flags;
      const name = typeof path === 'string' ? PATH_FS.resolve(path) : '';
      if (full && folder && name.startsWith(folder + '/') && (bits & 3) !== 0) {
        const file = name.slice(folder.length + 1);
        if (!file.endsWith('.new') || file.startsWith(kPreferencesFile)) {
          tell('not kept: ' + (file.startsWith(kScoreFile) ? 'a score' : 'a choice') + ' (' +
            why({ name: 'QuotaExceededError' }) + ').');
        }
        lookForRoom();
        throw new FS.ErrnoError(2); // EACCES
      }
      return open(path, flags, mode, fdStart, fdEnd);
    };
  }

  function lookForRoom() {
    if (navigator.storage && navigator.storage.estimate) {
      navigator.storage.estimate().then(function (estimate) {
        if (estimate.quota - estimate.usage > 65536) {
          full = false;
          save(false); // what was refused before, if it is still in memory
        }
      });
    }
  }

  // Loads the stored folder into memory, then starts the game; without
  // IndexedDB (a private window, storage turned off) the folder stays in
  // memory and the page says so.
  Module.loadFolder = function (path, start) {
    FS.mkdirTree(path);
    guardFolder();
    if (typeof indexedDB === 'undefined' || !indexedDB) {
      Module.scoresNotSaved && Module.scoresNotSaved();
      start();
      return;
    }
    // Named as IDBFS named it: by the folder's absolute path.
    folder = PATH_FS.resolve(path);
    open(function (db) {
      const read = db.transaction([kStore], 'readonly').objectStore(kStore);
      const range = IDBKeyRange.bound(folder + '/', folder + '/\uffff');
      const keys = read.getAllKeys(range);
      const values = read.getAll(range);
      values.onsuccess = function () {
        keys.result.forEach(function (key, i) {
          const contents = values.result[i].contents;
          const name = key.slice(folder.length + 1);
          if (contents && name.indexOf('/') < 0) {
            seen[name] = new Uint8Array(contents);
            FS.writeFile(key, seen[name]);
          }
        });
        db.close();
        start();
      };
      values.onerror = function () {
        db.close();
        Module.scoresNotSaved && Module.scoresNotSaved();
        start();
      };
    }, function () {
      folder = null;
      Module.scoresNotSaved && Module.scoresNotSaved();
      start();
    });
    if (typeof BroadcastChannel === 'function') {
      channel = new BroadcastChannel('dungeon-gold:' + path);
      channel.onmessage = function () { save(true); };
    }
  };

  Module.saveFolder = function () { save(false); };
})();
