// The game's page: starts the program on the first press (or at once for an automatic run),
// maps the address's query to its options, keeps its files in the browser's storage, asks its
// questions, hands screenshots over as downloads and switches the full screen.
'use strict';

(function () {
  var HOME = '/home/web_user';  // the program's home: settings and the kept hi-score
  var SCREENSHOTS = '/screenshots';
  var stage = document.getElementById('stage');
  var canvas = document.getElementById('canvas');
  var cover = document.getElementById('cover');
  var coverText = document.getElementById('cover-text');
  var started = false;
  var ready = false;
  var syncing = false;

  // ?replay=FILE&checksum&frames=N: every key is a long option, a value its argument. A replay
  // is fetched relative to the page and runs uncapped unless fps is given.
  function optionsFromQuery(query) {
    var args = [];
    var replay = null;
    var fps = false;
    new URLSearchParams(query).forEach(function (value, key) {
      if (key === 'replay') {
        replay = value;
        args.push('--replay', '/replays/' + value.split('/').pop());
        return;
      }
      if (key === 'fps') fps = true;
      args.push('--' + key);
      if (value !== '') args.push(value);
    });
    if (replay !== null && !fps) args.push('--fps', '0');
    var automatic = replay !== null || args.indexOf('--frames') >= 0;
    return { args: args, replay: replay, automatic: automatic };
  }

  var run = optionsFromQuery(location.search);

  function showCover(text) {
    coverText.textContent = text;
    cover.hidden = false;
  }

  function syncStorage() {
    if (syncing || !ready) return;
    syncing = true;
    Module.FS.syncfs(false, function (error) {
      syncing = false;
      if (error) console.error('storage: ' + error);
    });
  }

  // F12's pictures are written to a folder of their own; each becomes a download.
  function collectScreenshots() {
    if (!ready || !Module.FS.analyzePath(SCREENSHOTS).exists) return;
    Module.FS.readdir(SCREENSHOTS).forEach(function (name) {
      if (!/\.png$/.test(name)) return;
      var path = SCREENSHOTS + '/' + name;
      var blob = new Blob([Module.FS.readFile(path)], { type: 'image/png' });
      var link = document.createElement('a');
      link.href = URL.createObjectURL(blob);
      link.download = name;
      document.body.appendChild(link);
      link.click();
      link.remove();
      setTimeout(function () { URL.revokeObjectURL(link.href); }, 10000);
      Module.FS.unlink(path);
    });
  }

  // The game has ended with its exit code: keep what it wrote and say so.
  function ended(code) {
    if (window.zzExitCode !== undefined) return;
    window.zzExitCode = code;
    collectScreenshots();
    syncStorage();
    showCover('The game has ended. Reload the page to play again.');
  }

  // main returns to the page at its first wait; its result comes later, as a promise.
  var resultPending = false;
  function start() {
    if (started || !ready) return;
    started = true;
    cover.hidden = true;
    canvas.focus();
    Module.callMain(run.args);
    var result = Module.zzMainResult ? Module.zzMainResult() : null;
    if (result) {
      resultPending = true;
      result.then(ended, function (error) {
        console.error('the game stopped: ' + error);
        ended(1);
      });
    }
  }

  function toggleFullScreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen();
    } else if (stage.requestFullscreen) {
      stage.requestFullscreen().catch(function (e) { console.error('full screen: ' + e); });
    }
  }

  // The page's own box for the program's questions. No is the default, for Enter and Escape
  // alike, as in the desktop's boxes; the keys pressed in it never reach the game.
  function ask(text, caption, yesNo, japanese) {
    return new Promise(function (resolve) {
      var box = document.getElementById('ask');
      var buttons = document.getElementById('ask-buttons');
      document.getElementById('ask-caption').textContent = caption;
      document.getElementById('ask-text').textContent = text;
      buttons.textContent = '';
      var choices = yesNo ? [[japanese ? 'はい' : 'Yes', 6], [japanese ? 'いいえ' : 'No', 7]]
                          : [['OK', 1]];
      var fallback = choices[choices.length - 1][1];
      function finish(answer) {
        window.removeEventListener('keydown', onKey, true);
        box.hidden = true;
        canvas.focus();
        resolve(answer);
      }
      function onKey(e) {
        e.stopImmediatePropagation();
        if (e.key === 'Escape') {
          e.preventDefault();
          finish(fallback);
        }
      }
      choices.forEach(function (choice) {
        var button = document.createElement('button');
        button.type = 'button';
        button.textContent = choice[0];
        button.addEventListener('click', function () { finish(choice[1]); });
        buttons.appendChild(button);
      });
      window.addEventListener('keydown', onKey, true);
      box.hidden = false;
      buttons.lastChild.focus();
    });
  }

  // Alt+Enter switches the page's full screen; the game never sees it.
  window.addEventListener('keydown', function (e) {
    if (e.key === 'Enter' && e.altKey) {
      e.preventDefault();
      e.stopImmediatePropagation();
      if (!e.repeat) toggleFullScreen();
    }
  }, true);
  window.addEventListener('keyup', function (e) {
    if (e.key === 'Enter' && e.altKey) e.stopImmediatePropagation();
  }, true);
  document.getElementById('fullscreen').addEventListener('click', toggleFullScreen);

  // The first press starts the game and, being a press, lets the browser start its sound.
  function onFirstPress(e) {
    if (started || !ready || e.altKey) return;
    e.preventDefault();
    start();
  }
  cover.addEventListener('pointerdown', onFirstPress);
  window.addEventListener('keydown', onFirstPress);

  window.Module = {
    canvas: canvas,
    print: function (text) { console.log(text); },
    printErr: function (text) { console.error(text); },
    zzAsk: ask,
    preRun: [function () {
      var FS = Module.FS;
      FS.mkdirTree(HOME);
      FS.mount(FS.filesystems.IDBFS, {}, HOME);
      Module.addRunDependency('storage');
      FS.syncfs(true, function (error) {
        if (error) console.error('storage: ' + error);
        Module.removeRunDependency('storage');
      });
      if (run.replay !== null) {
        Module.addRunDependency('replay');
        fetch(run.replay).then(function (response) {
          if (!response.ok) throw new Error(response.status + ' ' + response.statusText);
          return response.arrayBuffer();
        }).then(function (bytes) {
          FS.mkdirTree('/replays');
          FS.writeFile('/replays/' + run.replay.split('/').pop(), new Uint8Array(bytes));
        }).catch(function (error) {
          console.error('replay ' + run.replay + ': ' + error);
        }).finally(function () {
          Module.removeRunDependency('replay');
        });
      }
    }],
    onRuntimeInitialized: function () {
      ready = true;
      setInterval(syncStorage, 5000);
      setInterval(collectScreenshots, 500);
      if (run.automatic) {
        start();
      } else {
        showCover('Click or press a key to start');
      }
    },
    // Only a main that never waited ends here with its own code; after a wait the runtime may
    // also end, but with a code that is not main's.
    onExit: function (code) {
      if (!resultPending) ended(code);
    }
  };
  document.addEventListener('visibilitychange', function () {
    if (document.visibilityState === 'hidden') syncStorage();
  });
})();
