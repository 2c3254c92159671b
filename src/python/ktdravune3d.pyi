"""KT Dravune 3D: symmetric-icon attractors rendered, screened and toned, as NumPy arrays."""
from typing import Callable, Iterator, Optional, Sequence, Tuple, Union

import numpy as np
import numpy.typing as npt

PALETTES: Tuple[str, ...]
ORDERS: Tuple[str, ...]
FILTERS: Tuple[str, ...]
TONES: Tuple[str, ...]

Triple = Tuple[float, float, float]

class Picture:
    """Everything that decides one picture. Keywords name the fields of the
    picture's text (lambda_ for lambda); size sets width and height, spp the
    steps per pixel. A value out of range raises ValueError, a value of the
    wrong kind TypeError, and the picture stays as it was."""

    formula: int
    alpha: float
    beta: float
    gamma: float
    lambda_: float
    omega: float
    n: int
    p: int
    scale: float
    start: Triple
    rotation: Triple
    order: str
    coloring: str
    palette: str
    background: Union[Tuple[int, int, int], str]
    transparent: bool
    width: int
    height: int
    size: Union[int, Tuple[int, int]]
    supersample: int
    steps: int
    spp: float
    orbits: int
    fit: bool
    margin: float
    tone: str
    tone_brightness: float
    tone_gamma: float
    depth: int
    filter: str
    nadjust: int

    def __init__(self, **settings: object) -> None: ...
    @staticmethod
    def builtin(formula: int = 1) -> Picture: ...
    @staticmethod
    def load(path: str) -> Picture: ...
    def save(self, path: str) -> None: ...
    def to_text(self, oneline: bool = False) -> str: ...
    @staticmethod
    def from_text(text: str) -> Picture: ...
    def __eq__(self, other: object) -> bool: ...
    def __copy__(self) -> Picture: ...
    def __deepcopy__(self, memo: dict) -> Picture: ...

class Image:
    """A drawn picture; its arrays are read-only views of its own buffers."""

    @property
    def rgb(self) -> Union[npt.NDArray[np.uint8], npt.NDArray[np.uint16]]: ...
    @property
    def hits(self) -> npt.NDArray[np.float32]: ...
    def hits_uint32(self) -> npt.NDArray[np.uint32]:
        """The hit counts as a new uint32 array; ValueError under the z colouring."""
        ...
    @property
    def depths(self) -> Optional[npt.NDArray[np.float32]]: ...
    @property
    def picture(self) -> Picture: ...
    @property
    def unfiltered(self) -> str: ...
    def save(self, path: str) -> None:
        """PNG, or TGA (8 bits, not transparent) by the name's extension."""
        ...
    def _repr_png_(self) -> bytes: ...

def render(picture: Picture, threads: Optional[int] = None,
           progress: Optional[Callable[[float], object]] = None) -> Image: ...

class Screen:
    verdict: str
    passed: bool
    lyapunov: Optional[float]
    fractal_dimension: Optional[float]
    text: str

def screen(picture: Picture, fd_limit: float = 1.5) -> Screen: ...

class RandomSets(Iterator[Picture]):
    def __iter__(self) -> RandomSets: ...
    def __next__(self) -> Picture: ...

def random_sets(seed: int, formula: int = 1, fd_limit: float = 1.5,
                start: Optional[Triple] = None) -> RandomSets: ...

def palette(name: str) -> npt.NDArray[np.uint8]: ...

def tone(hits: npt.ArrayLike,
         palette: Union[str, npt.ArrayLike] = "1",
         depths: Optional[npt.ArrayLike] = None,
         background: Sequence[int] = (255, 245, 230),
         brightness: float = 1.0,
         gamma: float = 1.0,
         transparent: bool = False,
         supersample: int = 1,
         width: Optional[int] = None,
         height: Optional[int] = None,
         depth: int = 8) -> Union[npt.NDArray[np.uint8], npt.NDArray[np.uint16]]: ...

def filter(hits: npt.ArrayLike,
           name: str,
           nadjust: int = 5,
           palette: Union[str, npt.ArrayLike] = "1",
           background: Sequence[int] = (255, 245, 230),
           coloring: str = "hit") -> npt.NDArray[np.uint8]:
    """A square of counts coloured as the hit tone colours them and filtered
    by name (FILTERS): height x width x 3 bytes, as a render with that filter
    gives them. ValueError, with the reason, when the filter cannot apply."""
    ...
