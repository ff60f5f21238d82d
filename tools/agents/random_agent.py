#!/usr/bin/env python3
"""A small agent that plays Duskwend through `duskwend --serve`.

It forms a party from the characters waiting in the guild hall, walks the city at random and
fights whatever it meets, deciding every key from the game state alone, and prints what
happened. Python 3's standard library is all it needs:

    tools/agents/random_agent.py --binary build/duskwend --seed 7

It stops when its fights are over (--fights, default 1), the party has fallen, or it has typed
--max-keys keys. Its saves and settings go to a scratch folder, never to the player's.
"""

import argparse
import json
import random
import subprocess
import sys
import tempfile
from pathlib import Path

# The game's codes, as the state reports them.
GUILD_HALL, CITY = 0, 1
ENCOUNTER, ACTION_MENU, ATTACK_WHICH, SUMMARY, ROUND, DEFEAT, VICTORY = 0, 1, 2, 10, 11, 12, 13
ALLOW_ATTACK, ALLOW_DEFEND = 0, 1
FACING = ["north", "east", "south", "west"]


class Game:
    """One game behind `duskwend --serve`: each request types keys and returns the frame."""

    def __init__(self, binary, seed, data_dir, save_dir):
        command = [binary, "--serve", "--seed", str(seed), "--save-dir", save_dir]
        if data_dir:
            command += ["--data-dir", data_dir]
        self.process = subprocess.Popen(command, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True)
        self.frame = self._answer()
        self.keys_typed = 0
        print(f"duskwend {self.frame['duskwend']}, protocol {self.frame['protocol']}")

    def _answer(self):
        line = self.process.stdout.readline()
        if not line:
            sys.exit("the game ended without an answer")
        answer = json.loads(line)
        if answer.get("ok") is False:
            sys.exit("the game refused a request: " + answer["error"])
        return answer

    def press(self, keys):
        """Types a key script and keeps the frame that follows."""
        self.process.stdin.write(json.dumps({"keys": keys}) + "\n")
        self.process.stdin.flush()
        self.frame = self._answer()
        self.keys_typed += 1
        return self.state

    @property
    def state(self):
        return self.frame["state"]

    def text_lines(self):
        """The text column's lines, as printed (the runs of one line joined)."""
        lines, current, last_y = [], "", None
        in_text = False
        for row in self.frame["text"].splitlines():
            if row.startswith("["):
                in_text = row == "[Text]"
                continue
            if not in_text:
                continue
            y, _x, _colour, _bold, text = row.split(" ", 4)
            if y != last_y and last_y is not None:
                lines.append(current.rstrip())
                current = ""
            current += text
            last_y = y
        if last_y is not None:
            lines.append(current.rstrip())
        return [line for line in lines if line.strip()]

    def quit(self):
        self.process.stdin.write(json.dumps({"quit": True}) + "\n")
        self.process.stdin.flush()
        self.process.stdout.readline()
        self.process.wait()


def members(state):
    return [p for p in state["party"] if p["in_use"] > 0]


def party_line(state):
    return ", ".join(f"{p['name'].strip()} {p['hit_points']}/{p['max_hit_points']} hp"
                     for p in members(state))


def form_party(game):
    """Takes every character the guild hall offers, up to four."""
    game.press("a")
    while len(members(game.state)) < 4:
        before = len(members(game.state))
        game.press("ta")
        if len(members(game.state)) == before:
            break
        game.press("x")
    game.press("x")
    while game.state["location_step"] != 0:
        game.press("x")
    print("Party formed:", party_line(game.state))


def living_groups(state):
    return [i for i, grp in enumerate(state["monster_groups"]) if grp["count"] > 0]


def fight(game, number):
    """Plays a fight from its first screen to its end; returns how it ended."""
    state = game.state
    foes = ", ".join(f"{state['monster_groups'][i]['count']} of monster {state['monster_groups'][i]['monster']}"
                     for i in living_groups(state))
    print(f"\nFight {number}: the party meets {foes}")
    for line in game.text_lines()[1:]:
        if line.startswith(" Do you wish"):
            break
        print("   ", line.strip())
    rounds = 0
    while state["combat_active"]:
        step = state["combat_step"]
        if state["sheet_member"] > 0:
            state = game.press("x")  # a sheet opened over the fight: close it
        elif step == ENCOUNTER:
            state = game.press("a")  # assign everyone's action
        elif step == ACTION_MENU:
            allowed = state["action_allowed"]
            if allowed[ALLOW_ATTACK] == 1:
                state = game.press("a")
            elif allowed[ALLOW_DEFEND] == 1:
                state = game.press("d")
            else:
                state = game.press("n")
        elif step == ATTACK_WHICH:
            # The fourth in line reaches the front group only; the others any of the first three.
            reach = 1 if state["combat_member"] == 3 else 3
            groups = [g for g in living_groups(state) if g < reach] or [0]
            state = game.press(chr(ord("a") + random.choice(groups)))
        elif step == SUMMARY:
            state = game.press("b")
        elif step == ROUND:
            rounds += 1
            print(f"  Round {rounds}:")
            for line in game.text_lines():
                print("   ", line.strip())
            print("    party:", party_line(state))
            state = game.press("x")
        elif step in (VICTORY, DEFEAT):
            print("  " + ("Victory" if step == VICTORY else "Defeat") + ":")
            for line in game.text_lines():
                print("   ", line.strip())
            state = game.press("x")
            return "won" if step == VICTORY else "lost"
        else:
            state = game.press("x")  # a menu it does not use: back out
    return "left"  # fled, or the fight ended another way


def walk(game, rng):
    """One key in the city: forward mostly, a turn now and then or where a wall stands."""
    state = game.state
    where = (state["map_level"], state["party_x"], state["party_y"])
    if rng.random() < 0.8:
        state = game.press("{up}")
        if (state["map_level"], state["party_x"], state["party_y"]) == where and not state["combat_active"]:
            state = game.press(rng.choice(["{left}", "{right}", "{down}"]))
    else:
        state = game.press(rng.choice(["{left}", "{right}"]))
    return state


def main():
    root = Path(__file__).resolve().parents[2]
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", default=str(root / "build" / "duskwend"))
    parser.add_argument("--data-dir", help="the Data folder (default: the game's own)")
    parser.add_argument("--seed", type=int, default=1, help="the game's and the agent's seed")
    parser.add_argument("--fights", type=int, default=1, help="fights to play before stopping")
    parser.add_argument("--max-keys", type=int, default=5000)
    args = parser.parse_args()

    rng = random.Random(args.seed)
    random.seed(args.seed)
    with tempfile.TemporaryDirectory(prefix="duskwend-agent-") as saves:
        game = Game(args.binary, args.seed, args.data_dir, saves)
        form_party(game)
        game.press("e")
        state = game.state
        print(f"Into the city: map {state['map_level']}, at {state['party_x']},{state['party_y']}"
              f" facing {FACING[state['party_facing']]}")
        fights, steps = 0, 0
        while fights < args.fights and game.keys_typed < args.max_keys:
            state = game.state
            if state["combat_active"]:
                fights += 1
                print(f"  ...after {steps} steps, at {state['party_x']},{state['party_y']}"
                      f" on map {state['map_level']}")
                outcome = fight(game, fights)
                print(f"  The fight is {outcome}. Party: {party_line(game.state)}")
                steps = 0
                if not any(p["hit_points"] > 0 for p in members(game.state)):
                    print("The party has fallen.")
                    break
            elif state["sheet_member"] > 0:
                game.press("x")
            elif state["current_location"] == GUILD_HALL:
                if game.state["location_step"] != 0:
                    game.press("x")
                else:
                    game.press("e")  # walked back in through the door: out again
            elif state["current_location"] != CITY:
                game.press("x")  # a shop, a temple, the review board: leave
                game.press("l")
            elif state["location_step"] > 0:
                game.press("x")  # the party-order question: no change
            else:
                walk(game, rng)
                steps += 1
        print(f"\n{game.keys_typed} requests; {fights} fight(s). Party: {party_line(game.state)}")
        game.quit()


if __name__ == "__main__":
    main()
