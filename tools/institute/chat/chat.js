/* The local institute's conversation script: the audio player of the
   conversation header (play, pause and volume). */
(function () {
    function byId(id) {
        return document.getElementById(id);
    }

    window.playerUpdate = function (play) {
        var radio = byId('radio');
        if (!radio)
            return;
        if (play)
            radio.play();
        else
            radio.pause();
        var looks = {'btn-play': play ? 'play-btn-disabled' : 'play-btn',
                     'btn-pause': play ? 'pause-btn' : 'pause-btn-disabled'};
        for (var id in looks) {
            var button = byId(id);
            if (button)
                button.className = looks[id];
        }
    };

    window.outputUpdate = function (volume) {
        var radio = byId('radio');
        var level = parseFloat(volume);
        if (radio && !isNaN(level))
            radio.volume = Math.min(1, Math.max(0, level));
    };
})();
