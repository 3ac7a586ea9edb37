'use strict';
// The page's console for the game (src/console/console_web.cpp): it shows what the game writes,
// clears at its word, and behaves as a terminal in line mode. Typed characters are echoed,
// Backspace edits, Enter sends the line, Ctrl-D on an empty line ends the input; at the pause one
// key press or one tap on the console goes on, unechoed and never an answer.
//
// The console is the page's own, not a terminal emulator: the game writes only text and asks for
// a clear, and a plain text field takes a phone's soft keyboard as reliably as any form does.

const tolvane = (() => {
    const body = document.body;
    const screen = document.getElementById('screen');
    const output = document.getElementById('output');
    const line = document.getElementById('line');
    const typed = document.getElementById('typed');
    const encoder = new TextEncoder();
    const END_OF_INPUT = -1;
    // What the running game has written, a character a byte, for whoever needs its exact bytes.
    const page = { transcript: '' };
    let run = null;

    function newRun() {
        return { unshown: [], decoder: new TextDecoder(), input: [], waiting: null };
    }

    function show(text) {
        output.append(text);
        typed.scrollIntoView({ block: 'nearest' });
    }

    // The game's bytes reach the page one at a time, and appear once it waits or clears: nothing
    // could be painted meanwhile, and a turn's text then enters the page (and the screen reader's
    // live region) at once.
    function showWritten() {
        if (run.unshown.length > 0) {
            show(run.decoder.decode(Uint8Array.from(run.unshown), { stream: true }));
            run.unshown = [];
        }
    }

    function setState(state) {
        body.dataset.state = state;
    }

    function wait(kind) {
        showWritten();
        setState(kind);
        return new Promise((resolve) => { run.waiting = { kind, resolve }; });
    }

    function resume(kind, value) {
        const waiting = run && run.waiting;
        if (!waiting || waiting.kind !== kind) {
            return false;
        }
        run.waiting = null;
        setState('running');
        waiting.resolve(value);
        return true;
    }

    // Hands the game its next byte if it is waiting for one; otherwise the bytes wait for it.
    function deliver(bytes) {
        for (const byte of bytes) {
            run.input.push(byte);
        }
        if (run.waiting && run.waiting.kind === 'byte') {
            resume('byte', run.input.shift());
        }
    }

    // Sends text to standard input, as a terminal sends a line: echoed, then readable.
    function send(text, ending) {
        if (!run || body.dataset.state === 'key') {
            return;
        }
        show(text + ending);
        typed.value = '';
        fitTyped();
        deliver(encoder.encode(text + ending));
    }

    // The game's side (the EM_JS functions of console_web.cpp).
    const gameConsole = {
        clear() {
            showWritten();
            output.textContent = '';
        },
        key() {
            return wait('key');
        },
        byte() {
            return run.input.length > 0 ? run.input.shift() : wait('byte');
        },
    };

    function fitTyped() {
        typed.style.width = `${typed.value.length + 1}ch`;
    }

    const MODIFIERS = new Set(['Shift', 'Control', 'Alt', 'Meta', 'AltGraph', 'CapsLock']);

    document.addEventListener('keydown', (event) => {
        if (event.target !== typed && event.target !== body) {
            return;
        }
        if (!run) {
            return;
        }
        if (body.dataset.state === 'key') {
            // A soft keyboard's key that tells nothing here is taken by the input event below.
            if (!MODIFIERS.has(event.key) && event.key !== 'Unidentified' && !event.isComposing) {
                event.preventDefault();
                resume('key');
            }
        } else if (event.key === 'Tab' && !event.ctrlKey && !event.altKey) {
            event.preventDefault();
            typed.setRangeText('\t', typed.selectionStart, typed.selectionEnd, 'end');
            fitTyped();
        } else if (event.ctrlKey && event.key.toLowerCase() === 'd') {
            // As on a terminal: the text typed so far is sent without a line end; with none, the
            // game reads the end of its input.
            event.preventDefault();
            if (typed.value === '') {
                deliver([END_OF_INPUT]);
            } else {
                send(typed.value, '');
            }
        }
    });
    // A soft keyboard may tell its keys only by what they change in the field.
    typed.addEventListener('input', () => {
        if (body.dataset.state === 'key') {
            typed.value = '';
            resume('key');
        }
        fitTyped();
    });
    line.addEventListener('submit', (event) => {
        event.preventDefault();
        send(typed.value, '\n');
    });
    // A tap goes on from the pause without calling up a phone's keyboard, which would hide half
    // the console; a click leaves the field ready for typing, unless it selected text.
    screen.addEventListener('click', (event) => {
        const tapped = resume('key') && event.pointerType === 'touch';
        if (!tapped && window.getSelection().isCollapsed) {
            typed.focus();
        }
    });
    for (const button of document.querySelectorAll('button.answer')) {
        // The field keeps the focus, and a phone its keyboard as it was.
        button.addEventListener('mousedown', (event) => event.preventDefault());
        button.addEventListener('click', () => send(typed.value + button.dataset.line, '\n'));
    }

    // Each game is a new run of the program: a fresh instance, a new seed, the welcome screen.
    async function play() {
        run = newRun();
        page.transcript = '';
        output.textContent = '';
        setState('running');
        const written = (signedByte) => {
            const byte = signedByte & 0xff;
            run.unshown.push(byte);
            page.transcript += String.fromCharCode(byte);
        };
        const game = await createTolvane({ gameConsole, stdout: written, stderr: written });
        typed.focus();
        await game.ccall('main', 'number', [], [], { async: true });
        showWritten();
        run = null;
        setState('ended');
        document.getElementById('new-game').focus();
    }
    document.getElementById('new-game').addEventListener('click', play);

    // Served from a web host, the page can be installed and plays offline; from a file it cannot.
    if (location.protocol !== 'file:' && 'serviceWorker' in navigator) {
        for (const [rel, href] of [['manifest', 'manifest.webmanifest'], ['icon', 'tolvane.svg']]) {
            document.head.append(Object.assign(document.createElement('link'), { rel, href }));
        }
        navigator.serviceWorker.register('service-worker.js');
    }
    play();
    return page;
})();
